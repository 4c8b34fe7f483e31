#!/usr/bin/env python3
"""The studio in a real browser: headless Chromium opens the page, changes the main background and
sees the themed picture follow, sets a low-contrast text colour and sees the warning, downloads
the file and has `umbravista check` read it, and saves a screenshot of the studio.

    browser_test.py --umbravista build/tools/umbravista --screenshot docs/studio.png
"""
import argparse
import os
import re
import select
import signal
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

# This machine has no network: without these, Chromium keeps trying to reach its services.
CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--window-size=1440,1080", "--hide-scrollbars",
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


def start_browser(downloads):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in CHROMIUM_FLAGS:
        options.add_argument(flag)
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


def type_colour(driver, key, text):
    """Types text into a colour field as a person would, then waits until the server has drawn
    the change and the themed feed shows it."""
    before = page_version(driver)
    field = driver.find_element(By.CSS_SELECTOR, f'[data-key="{key}"] .colour-text')
    field.clear()
    field.send_keys(text, Keys.ENTER)
    wait_for(driver, lambda d: page_version(d) > before, f"the studio to redraw for {key}")
    version = str(page_version(driver))
    wait_for(driver, lambda d: d.find_element(By.CSS_SELECTOR, THEMED_FEED)
             .get_attribute("data-version") == version, "the themed feed to load its new picture")


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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--umbravista", required=True)
    parser.add_argument("--screenshot", required=True)
    arguments = parser.parse_args()

    downloads = tempfile.mkdtemp(prefix="studio-downloads-")
    studio = Studio(arguments.umbravista)
    driver = None
    checks = Checks()
    try:
        driver = start_browser(downloads)

        def opens_the_page():
            driver.get(studio.url)
            wait_for(driver, lambda d: page_version(d) > 0, "the page to show the state")
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

        def screenshot():
            driver.execute_script("window.scrollTo(0, 0)")
            os.makedirs(os.path.dirname(os.path.abspath(arguments.screenshot)), exist_ok=True)
            assert driver.save_screenshot(arguments.screenshot), "no screenshot"

        def download_passes_through_check():
            driver.find_element(By.ID, "download-xml").click()
            path = os.path.join(downloads, "com.marrowquinte.Umbravista.plist")
            wait_for(driver, lambda d: os.path.exists(path), "the download")
            result = subprocess.run([arguments.umbravista, "check", path],
                                    capture_output=True, text=True, check=False)
            expected = "warning: contrast of Text #111111 on MainBGColor #203040"
            assert result.returncode == 1, f"check exited {result.returncode}:\n{result.stdout}"
            assert expected in result.stdout, result.stdout

        def refused_value_shows_its_reason():
            field = driver.find_element(By.CSS_SELECTOR, '[data-key="Link"] .colour-text')
            field.clear()
            field.send_keys("#GG0000", Keys.ENTER)
            error = driver.find_element(By.CSS_SELECTOR, '[data-key="Link"] .error')
            wait_for(driver, lambda d: error.is_displayed(), "the refusal beside Link")
            assert "names no colour (bad digit 'G')" in error.text, error.text

        if checks.run("the page shows the fields and the screens", opens_the_page):
            checks.run("the themed feed follows MainBGColor", main_background_follows)
            checks.run("a low-contrast Text shows a failing contrast", low_contrast_text_warns)
            checks.run("the screenshot is saved", screenshot)
            checks.run("the downloaded file reads the same in check", download_passes_through_check)
            checks.run("a value that names no colour shows why", refused_value_shows_its_reason)
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
