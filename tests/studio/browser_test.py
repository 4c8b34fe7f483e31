#!/usr/bin/env python3
"""The studio in a real browser: headless Chromium opens the page, changes the main background and
sees the themed picture follow, sets a low-contrast text colour and sees the warning, downloads
both forms and has `umbravista check` read them, edits in two browsers at once, works the page by
keyboard alone, and saves screenshots of the studio at 1440, 1024 and 390 pixels wide.

    browser_test.py --umbravista build/tools/umbravista --screenshot docs/studio.png
    browser_test.py --umbravista build/tools/umbravista --measure 20

With --measure N it instead changes the main background N times and prints the median time from
Enter to all five themed pictures shown, as the page itself measures it.
"""
import argparse
import json
import os
import re
import select
import signal
import subprocess
import sys
import tempfile
import time
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

# This machine has no network: without these, Chromium keeps trying to reach its services.
CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--hide-scrollbars",
]
WAIT_SECONDS = 30

# A pixel of a picture as [r, g, b, a], read through a canvas as the page holds the picture.
PIXEL_SCRIPT = """
const [selector, x, y] = arguments;
const image = document.querySelector(selector);
const canvas = document.createElement("canvas");
canvas.width = image.naturalWidth;
canvas.height = image.naturalHeight;
const context = canvas.getContext("2d");
context.drawImage(image, 0, 0);
return Array.from(context.getImageData(x, y, 1, 1).data);
"""
# Types a value into a field and presses Enter, then answers the milliseconds until the page shows
# a new version with every themed picture loaded for it. Works with any page that marks its state
# and its themed pictures with data-version once shown.
ENTER_TO_PICTURES_SCRIPT = """
const [key, value, done] = arguments;
const field = document.querySelector(`[data-key="${key}"] .colour-text`);
const before = Number(document.body.dataset.version || 0);
const themed = [...document.querySelectorAll("#screens img.themed")];
const shown = () => {
  const version = Number(document.body.dataset.version || 0);
  return version > before &&
         themed.every((image) => image.complete && Number(image.dataset.version) === version);
};
const started = performance.now();
const observer = new MutationObserver(() => {
  if (shown()) {
    observer.disconnect();
    done(performance.now() - started);
  }
});
observer.observe(document.body, {attributes: true, subtree: true, attributeFilter: ["data-version"]});
field.focus();
field.value = value;
field.dispatchEvent(new Event("input"));
field.dispatchEvent(new KeyboardEvent("keydown", {key: "Enter"}));
"""
THEMED_FEED = 'figure[data-screen="0"] img.themed'
STOCK_FEED = 'figure[data-screen="0"] img.stock'
FEED_BACKGROUND = (160, 540)  # Below the feed's last row.


class Studio:
    """`umbravista studio --port 0` as a child process."""

    def __init__(self, umbravista):
        self.process = subprocess.Popen([umbravista, "studio", "--port", "0"],
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        line = self._read_line(WAIT_SECONDS)
        match = re.search(r"http://127\.0\.0\.1:(\d+)/", line)
        if not match:
            self.process.kill()
            raise RuntimeError(f"the studio printed no address: {line!r}")
        self.url = match.group(0)

    def _read_line(self, seconds):
        ready, _, _ = select.select([self.process.stdout], [], [], seconds)
        return self.process.stdout.readline().decode() if ready else ""

    def stop(self):
        """Sends SIGTERM and answers the exit status (None when it did not stop in time)."""
        self.process.send_signal(signal.SIGTERM)
        try:
            return self.process.wait(WAIT_SECONDS)
        except subprocess.TimeoutExpired:
            self.process.kill()
            return None


def start_browser(downloads, width=1440, height=1080):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in CHROMIUM_FLAGS:
        options.add_argument(flag)
    options.add_argument(f"--window-size={width},{height}")
    options.add_argument("--user-data-dir=" + tempfile.mkdtemp(prefix="studio-chromium-"))
    options.add_experimental_option("prefs", {
        "download.default_directory": downloads,
        "download.prompt_for_download": False,
    })
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.execute_cdp_cmd("Page.setDownloadBehavior",
                           {"behavior": "allow", "downloadPath": downloads})
    return driver


def wait_for(driver, condition, what):
    try:
        return WebDriverWait(driver, WAIT_SECONDS, poll_frequency=0.05).until(condition)
    except Exception as error:
        raise AssertionError(f"timed out waiting for {what}") from error


def page_version(driver):
    return int(driver.execute_script("return document.body.dataset.version || 0"))


def open_page(driver, url):
    driver.get(url)
    wait_for(driver, lambda d: page_version(d) > 0, "the page to show the state")


def field(driver, key, part="colour-text"):
    return driver.find_element(By.CSS_SELECTOR, f'[data-key="{key}"] .{part}')


def wait_for_pictures(driver, after, what):
    """Waits until the page shows a version newer than `after`, its themed feed loaded."""
    wait_for(driver, lambda d: page_version(d) > after, f"the studio to redraw for {what}")
    version = str(page_version(driver))
    wait_for(driver, lambda d: d.find_element(By.CSS_SELECTOR, THEMED_FEED)
             .get_attribute("data-version") == version, "the themed feed to load its new picture")


def type_colour(driver, key, text):
    """Types text into a colour field as a person would, then waits until the server has drawn
    the change and the themed feed shows it."""
    before = page_version(driver)
    field(driver, key).clear()
    field(driver, key).send_keys(text, Keys.ENTER)
    wait_for_pictures(driver, before, key)


def server_value(url, key):
    with urllib.request.urlopen(url + "api/state") as answer:
        state = json.load(answer)
    return next(each["value"] for each in state["fields"] if each["key"] == key)


def shown(driver, element_id):
    return driver.find_element(By.ID, element_id).is_displayed()


def pixel(driver, selector):
    return driver.execute_script(PIXEL_SCRIPT, selector, *FEED_BACKGROUND)


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def run(self, name, step):
        try:
            step()
        except Exception as error:  # pylint: disable=broad-except
            self.failed += 1
            print(f"FAIL {name}: {error}")
            return False
        self.passed += 1
        print(f"ok   {name}")
        return True


def measure(umbravista, changes):
    """Prints the median milliseconds from Enter to all five themed pictures shown."""
    studio = Studio(umbravista)
    driver = start_browser(tempfile.mkdtemp(prefix="studio-downloads-"))
    try:
        open_page(driver, studio.url)
        driver.set_script_timeout(WAIT_SECONDS)
        times = sorted(driver.execute_async_script(ENTER_TO_PICTURES_SCRIPT, "MainBGColor",
                                                   "#10203" + str(change % 10))
                       for change in range(changes))
        print(f"Enter to pictures: median {times[len(times) // 2]:.1f} ms of {changes} changes "
              f"({times[0]:.1f} to {times[-1]:.1f} ms)")
    finally:
        driver.quit()
        studio.stop()
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--umbravista", required=True)
    parser.add_argument("--screenshot")
    parser.add_argument("--narrow-screenshots", help="where the 1024 and 390 px ones go")
    parser.add_argument("--measure", type=int, default=0)
    arguments = parser.parse_args()
    if arguments.measure > 0:
        return measure(arguments.umbravista, arguments.measure)

    downloads = tempfile.mkdtemp(prefix="studio-downloads-")
    studio = Studio(arguments.umbravista)
    driver = None
    checks = Checks()
    try:
        driver = start_browser(downloads)

        def opens_the_page():
            open_page(driver, studio.url)
            fields = driver.find_elements(By.CSS_SELECTOR, "#fields .field")
            assert len(fields) == 8, f"{len(fields)} colour fields"
            screens = driver.find_elements(By.CSS_SELECTOR, "#screens figure")
            assert len(screens) == 5, f"{len(screens)} screens"

        def main_background_follows():
            type_colour(driver, "MainBGColor", "#203040")
            assert pixel(driver, THEMED_FEED) == [0x20, 0x30, 0x40, 255], pixel(driver, THEMED_FEED)
            assert pixel(driver, STOCK_FEED) == [255, 255, 255, 255], pixel(driver, STOCK_FEED)

        def low_contrast_text_warns():
            type_colour(driver, "Text", "#111111")
            failing = driver.find_elements(By.CSS_SELECTOR, '[data-key="Text"] .finding.fail')
            assert len(failing) == 1, "no failing contrast beside Text"
            assert "under 4.5:1" in failing[0].text, failing[0].text

        def screenshots():
            driver.execute_script("window.scrollTo(0, 0)")
            path = arguments.screenshot or os.path.join(downloads, "studio.png")
            os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
            assert driver.save_screenshot(path), "no screenshot"
            # Narrower windows: nothing may be wider than the window.
            for width, height in ((1024, 900), (390, 844)):
                driver.set_window_size(width, height)
                overflow = driver.execute_script(
                    "return document.documentElement.scrollWidth - window.innerWidth")
                assert overflow <= 0, f"the page is {overflow} px wider than {width} px"
                folder = arguments.narrow_screenshots or os.path.dirname(os.path.abspath(path))
                assert driver.save_screenshot(os.path.join(folder, f"studio-{width}.png"))
            driver.set_window_size(1440, 1080)

        def downloads_pass_through_check():
            for link, name in (("download-xml", "com.marrowquinte.Umbravista.plist"),
                               ("download-binary", "com.marrowquinte.Umbravista.binary.plist")):
                driver.find_element(By.ID, link).click()
                path = os.path.join(downloads, name)
                wait_for(driver, lambda d, path=path: os.path.exists(path), f"the download {name}")
                result = subprocess.run([arguments.umbravista, "check", path],
                                        capture_output=True, text=True, check=False)
                expected = "warning: contrast of Text #111111 on MainBGColor #203040"
                assert result.returncode == 1, f"check exited {result.returncode}:\n{result.stdout}"
                assert expected in result.stdout, result.stdout

        def refused_value_shows_its_reason():
            field(driver, "Link").clear()
            field(driver, "Link").send_keys("#GG0000", Keys.ENTER)
            error = field(driver, "Link", "error")
            wait_for(driver, lambda d: error.is_displayed(), "the refusal beside Link")
            assert "names no colour (bad digit 'G')" in error.text, error.text
            assert "In force: #23F1CC (built-in)" in error.text, error.text
            # A long refusal wraps inside the panel.
            field(driver, "Link").clear()
            field(driver, "Link").send_keys("#" + "A" * 200, Keys.ENTER)
            wait_for(driver, lambda d: "too long" in error.text, "the refusal of a long value")
            assert driver.execute_script("return arguments[0].scrollWidth <= arguments[0].clientWidth",
                                         error), "the refusal runs out of the panel"
            # Leaving the field shows the value in force again, which its findings describe.
            field(driver, "Link").send_keys(Keys.TAB)
            value = field(driver, "Link").get_attribute("value")
            assert value == "", f"Link still shows {value!r}"

        def picker_keeps_an_eight_digit_alpha():
            type_colour(driver, "Username", "#11223380")
            before = page_version(driver)
            driver.execute_script("""
                const picker = arguments[0];
                picker.value = "#aabbcc";
                picker.dispatchEvent(new Event("input"));""", field(driver, "Username", "picker"))
            wait_for_pictures(driver, before, "the picker")
            assert server_value(studio.url, "Username") == "#AABBCC80"

        def opening_a_bad_file_clears_the_last_notice():
            chooser = driver.find_element(By.ID, "open-file")
            driver.execute_script("arguments[0].style.display = 'block'", chooser)
            good = os.path.join(downloads, "com.marrowquinte.Umbravista.plist")
            before = page_version(driver)
            chooser.send_keys(good)
            wait_for(driver, lambda d: shown(d, "opened") and page_version(d) > before,
                     "the opened notice")
            bad = os.path.join(downloads, "bad.plist")
            with open(bad, "w", encoding="utf-8") as file:
                file.write("no settings " * 40)
            chooser.send_keys(bad)
            wait_for(driver, lambda d: shown(d, "message"), "the refusal of the bad file")
            assert not shown(driver, "opened"), "the notice of the file before stays"
            driver.execute_script("arguments[0].style.display = ''", chooser)

        def two_browsers_agree():
            other = start_browser(downloads)
            try:
                open_page(other, studio.url)
                # The other cannot hear of this one's change, so it changes what it last saw.
                other.execute_cdp_cmd("Network.enable", {})
                other.execute_cdp_cmd("Network.setBlockedURLs", {"urls": ["*/api/version"]})
                type_colour(driver, "Text", "#EEEEEE")
                field(other, "Text").clear()
                field(other, "Text").send_keys("#222222", Keys.ENTER)
                wait_for(other, lambda d: shown(d, "notice"), "the other browser's notice")
                assert "your change was not made" in other.find_element(By.ID, "notice").text
                assert field(other, "Text").get_attribute("value") == "#EEEEEE"
                assert server_value(studio.url, "Text") == "#EEEEEE", "a change was overwritten"
                # Hearing again, it catches up with a change made here, pictures and all.
                other.execute_cdp_cmd("Network.setBlockedURLs", {"urls": []})
                before = page_version(other)
                type_colour(driver, "Text", "#DDDDDD")
                wait_for_pictures(other, before, "the other browser to catch up")
                assert field(other, "Text").get_attribute("value") == "#DDDDDD"
            finally:
                other.quit()

        def keyboard_reaches_and_works_every_control():
            open_page(driver, studio.url)
            reached = []
            body = driver.find_element(By.TAG_NAME, "body")
            for _ in range(80):
                # As key presses, which a colour input takes as a person's; its send_keys does not.
                ActionChains(driver).send_keys(Keys.TAB).perform()
                active = driver.switch_to.active_element
                if active == body:
                    break
                reached.append({active.get_attribute("id"), *active.get_attribute("class").split()})
            expected = {"open-button": 1, "download-xml": 1, "download-binary": 1, "enabled": 1,
                        "picker": 8, "colour-text": 8, "reset": 8, "enlarge": 10}
            counts = {name: sum(name in names for names in reached) for name in expected}
            assert counts == expected, f"reached {counts}"
            # Open… asks for a file.
            driver.execute_script("""
                document.getElementById("open-file").addEventListener("click", (event) => {
                  event.preventDefault();
                  document.body.dataset.chooser = "asked";
                });""")
            driver.find_element(By.ID, "open-button").send_keys(Keys.ENTER)
            assert body.get_attribute("data-chooser") == "asked", "Open… asked for no file"
            # The switch, by space: off shows why some parts stay themed.
            before = page_version(driver)
            driver.find_element(By.ID, "enabled").send_keys(Keys.SPACE)
            wait_for_pictures(driver, before, "the switch")
            assert shown(driver, "switch-note"), "no note with the theme off"
            before = page_version(driver)
            driver.find_element(By.ID, "enabled").send_keys(Keys.SPACE)
            wait_for_pictures(driver, before, "the switch again")
            # A screen enlarged and closed again.
            driver.find_element(By.CSS_SELECTOR, 'figure[data-screen="2"] .enlarge').send_keys(
                Keys.ENTER)
            wait_for(driver, lambda d: shown(d, "enlarged"), "the enlarged screen")
            assert driver.find_element(By.ID, "enlarged-title").text == "React Native"
            driver.switch_to.active_element.send_keys(Keys.ESCAPE)
            wait_for(driver, lambda d: not shown(d, "enlarged"), "the enlarged screen to close")

        if checks.run("the page shows the fields and the screens", opens_the_page):
            checks.run("the themed feed follows MainBGColor", main_background_follows)
            checks.run("a low-contrast Text shows a failing contrast", low_contrast_text_warns)
            checks.run("the screenshots are saved, the page fits each width", screenshots)
            checks.run("both downloads read the same in check", downloads_pass_through_check)
            checks.run("a value that names no colour shows why", refused_value_shows_its_reason)
            checks.run("the picker keeps an eight-digit alpha", picker_keeps_an_eight_digit_alpha)
            checks.run("a bad file clears the last file's notice",
                       opening_a_bad_file_clears_the_last_notice)
            checks.run("two browsers neither overwrite nor miss a change", two_browsers_agree)
            checks.run("the keyboard reaches and works every control",
                       keyboard_reaches_and_works_every_control)
    finally:
        if driver is not None:
            driver.quit()
        status = studio.stop()
        if status != 0:
            checks.failed += 1
            print(f"FAIL the studio stops cleanly on SIGTERM: exit status {status}")
        else:
            checks.passed += 1
            print("ok   the studio stops cleanly on SIGTERM")
    print(f"browser: {checks.passed} passed, {checks.failed} failed")
    return 0 if checks.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
