// The studio's page: renders the server's state, sends each change of a field, and shows the
// themed screens as the server redraws them. The server is the only judge of what a colour
// string means; the page sends what the person typed and shows what the server answers.
"use strict";

const kTypingPause = 200;  // Milliseconds without typing before a field's value is sent.
// How often the page asks whether another tab or browser changed the settings. Asking is one
// small request on a connection the server keeps without tying up a worker; a stream of events
// instead would hold one of the server's few workers for as long as the page stays open.
const kVersionPoll = 1000;

const fieldsByKey = new Map();  // key -> {root, picker, text, error, findings}
const screens = [];             // {title, stock, themed} per screen, in the server's order
let shown = null;               // The state the page shows.
let pending = new Map();        // key -> value not yet sent (null: back to the built-in colour)
const refused = new Set();      // Keys whose field holds a value the server refused.
let sending = false;
let changesInFlight = 0;
let sendTimer = null;

class RefusedRequest extends Error {
  constructor(message, key, current) {
    super(message);
    this.key = key;
    this.current = current;  // The current state, when the change was made on an older one.
  }
}

async function request(method, path, body, contentType = "application/json") {
  const options = {method, headers: {}};
  if (body !== undefined) {
    options.body = contentType === "application/json" ? JSON.stringify(body) : body;
    options.headers["Content-Type"] = contentType;
  }
  let response;
  try {
    response = await fetch(path, options);
  } catch (error) {
    throw new RefusedRequest("The studio is not answering; is it still running?", null);
  }
  const answer = await response.json().catch(() => ({}));
  if (!response.ok) {
    throw new RefusedRequest(answer.error || `The studio answered ${response.status}.`,
                             answer.key ?? null, response.status === 409 ? answer : null);
  }
  return answer;
}

// A change, made on the version the page shows, so that the server can refuse it when another
// tab or browser has changed the settings since.
async function change(method, path, body, contentType) {
  changesInFlight += 1;
  try {
    return await request(method, `${path}?version=${shown.version}`, body, contentType);
  } finally {
    changesInFlight -= 1;
  }
}

function showMessage(text) {
  const message = document.getElementById("message");
  message.textContent = text || "";
  message.hidden = !text;
}

function showNotice(text) {
  const notice = document.getElementById("notice");
  notice.textContent = text || "";
  notice.hidden = !text;
}

function showFieldError(key, text) {
  const field = fieldsByKey.get(key);
  if (!field) {
    showMessage(text);
    return;
  }
  field.error.textContent = text || "";
  field.error.hidden = !text;
  field.text.setAttribute("aria-invalid", text ? "true" : "false");
  if (text) {
    refused.add(key);
  } else {
    refused.delete(key);
  }
}

function clearErrors() {
  for (const key of fieldsByKey.keys()) showFieldError(key, null);
  showMessage(null);
}

// One line of the checker, as a list item: contrast lines as a pass or fail badge with their
// figures, every other line as the checker wrote it.
function findingItem(finding) {
  const item = document.createElement("li");
  item.className = "finding";
  item.title = finding.text;
  const badge = document.createElement("span");
  badge.className = "badge";
  const words = document.createElement("span");
  const contrast = finding.contrast;
  if (contrast) {
    const ratio = `${contrast.ratio.toFixed(2)}:1`;
    const least = `${contrast.least}:1`;
    if (contrast.passed) {
      item.classList.add("pass");
      badge.textContent = "pass";
      words.textContent = `contrast ${ratio} on the main background (at least ${least})`;
    } else if (!contrast.counted) {
      item.classList.add("not-counted");
      badge.textContent = "low";
      words.textContent = `contrast ${ratio}, under ${least}: built-in colours, not counted`;
    } else {
      item.classList.add("fail");
      badge.textContent = "fail";
      words.textContent = `contrast ${ratio} on the main background, under ${least}`;
    }
  } else if (finding.warning) {
    item.classList.add("warning");
    badge.textContent = "warn";
    words.textContent = finding.text;
  } else {
    item.classList.add("info");
    words.textContent = finding.text;
    badge.hidden = true;
  }
  item.append(badge, words);
  return item;
}

function fillFindings(list, findings) {
  list.replaceChildren(...findings.map(findingItem));
}

// The text for a picked colour: the picker knows no alpha, so an alpha the person wrote stays,
// in the form they wrote it (eight digits, or ":" and a number).
function pickedText(picked, current) {
  const eightDigits = current.match(/^#?[0-9a-fA-F]{6}([0-9a-fA-F]{2})$/);
  if (eightDigits) return picked + eightDigits[1];
  const alpha = current.match(/:[0-9.]*$/);
  return picked + (alpha ? alpha[0] : "");
}

function makeField(field) {
  const root = document.getElementById("field-template").content.firstElementChild.cloneNode(true);
  root.dataset.key = field.key;
  const id = `colour-${field.key}`;
  const name = root.querySelector(".name");
  name.htmlFor = id;
  name.append(`${field.label} `);
  const code = document.createElement("code");
  code.textContent = field.key;
  name.append(code);
  const picker = root.querySelector(".picker");
  picker.setAttribute("aria-label", `${field.label}: colour picker`);
  const text = root.querySelector(".colour-text");
  text.id = id;
  const entry = {
    root,
    picker,
    text,
    error: root.querySelector(".error"),
    findings: root.querySelector(".findings"),
  };
  entry.error.id = `error-${field.key}`;
  text.setAttribute("aria-describedby", entry.error.id);
  text.addEventListener("input", () => schedule(field.key, text.value.trim() || null));
  text.addEventListener("keydown", (event) => {
    if (event.key === "Enter") sendNow();
  });
  // A refused value stays for correcting while the person is in the field; leaving it shows the
  // value in force again, which the findings below describe.
  text.addEventListener("blur", () => {
    if (!refused.has(field.key) || pending.has(field.key)) return;
    refused.delete(field.key);
    text.setAttribute("aria-invalid", "false");
    text.value = shown.fields.find((each) => each.key === field.key).value ?? "";
  });
  picker.addEventListener("input", () => {
    text.value = pickedText(picker.value.toUpperCase(), text.value.trim());
    schedule(field.key, text.value);
  });
  root.querySelector(".reset").addEventListener("click", () => {
    text.value = "";
    schedule(field.key, null, 0);
  });
  fieldsByKey.set(field.key, entry);
  document.getElementById("fields").append(root);
}

function enlarge(index) {
  const dialog = document.getElementById("enlarged");
  dialog.dataset.screen = index;
  document.getElementById("enlarged-title").textContent = screens[index].title;
  for (const which of ["stock", "themed"]) {
    const image = dialog.querySelector(`img.${which}`);
    image.src = screens[index][which].src;
    image.alt = screens[index][which].alt;
  }
  dialog.showModal();
}

function makeScreens(states) {
  const container = document.getElementById("screens");
  states.forEach((screen, index) => {
    const figure =
        document.getElementById("screen-template").content.firstElementChild.cloneNode(true);
    figure.dataset.screen = index;
    figure.querySelector("figcaption").textContent = screen.title;
    const stock = figure.querySelector("img.stock");
    const themed = figure.querySelector("img.themed");
    stock.alt = `${screen.title}, stock`;
    themed.alt = `${screen.title}, themed`;
    stock.src = screen.stock;
    for (const button of figure.querySelectorAll(".enlarge")) {
      button.setAttribute("aria-label", `Enlarge ${screen.title}`);
      button.addEventListener("click", () => enlarge(index));
    }
    screens.push({title: screen.title, stock, themed});
    container.append(figure);
  });
}

// Each themed picture carries the version of the state it shows once it is shown, so that
// whoever waits for a change (a person, a test) can tell the new picture from the old. A picture
// that the change did not alter keeps its address, and the browser its picture.
function showThemed(image, url, version) {
  if (image.getAttribute("src") === url) {
    image.dataset.version = version;
    return;
  }
  image.onload = () => {
    image.dataset.version = version;
    const dialog = document.getElementById("enlarged");
    if (dialog.open && screens[dialog.dataset.screen].themed === image) {
      dialog.querySelector("img.themed").src = url;
    }
  };
  image.src = url;
}

// Shows a state. A field the person is still editing keeps what they typed, unless `everything`:
// after a refused stale change the page must show exactly what the server holds.
function render(state, everything = false) {
  shown = state;
  if (fieldsByKey.size === 0) state.fields.forEach(makeField);
  if (screens.length === 0) makeScreens(state.screens);

  for (const field of state.fields) {
    const entry = fieldsByKey.get(field.key);
    const editing = pending.has(field.key) ||
                    (refused.has(field.key) && document.activeElement === entry.text);
    if (everything || !editing) entry.text.value = field.value ?? "";
    entry.text.placeholder = `built-in ${field.builtIn}`;
    entry.picker.value = field.colour.toLowerCase();
    entry.root.classList.toggle("built-in", field.value === null);
    fillFindings(entry.findings, state.findings.filter((finding) => finding.key === field.key));
  }

  const enabled = document.getElementById("enabled");
  enabled.checked = state.enabled !== false;
  document.getElementById("switch-note").hidden = state.enabled !== false;
  fillFindings(document.querySelector('[data-key="enabled"] .findings'),
               state.findings.filter((finding) => finding.key === "enabled"));
  fillFindings(document.getElementById("file-findings"),
               state.findings.filter((finding) => finding.key === null));

  state.screens.forEach((screen, index) => {
    showThemed(screens[index].themed, screen.themed, state.version);
  });
  document.body.dataset.version = state.version;
  document.getElementById("status").textContent =
      `Themed screens redrawn in ${Math.round(state.redrawMilliseconds)} ms · ` +
      state.hooks.join(" · ");
}

// Another tab or browser changed the settings after this page last heard: what this page sent
// was not made, and it now shows the settings as they are.
function showCurrent(current) {
  pending = new Map();
  clearErrors();
  render(current, true);
  showNotice("Another tab or browser changed these settings; your change was not made. " +
             "Showing the current settings.");
}

function schedule(key, value, delay = kTypingPause) {
  pending.set(key, value);
  clearTimeout(sendTimer);
  sendTimer = setTimeout(sendNow, delay);
}

// Sends the pending changes as one request. A key the server refuses is shown beside its field
// and left out, and the others are sent again without it, so that one bad field holds up none.
async function sendNow() {
  clearTimeout(sendTimer);
  if (sending || pending.size === 0) return;
  let changes = pending;
  pending = new Map();
  sending = true;
  try {
    while (changes.size > 0) {
      try {
        const state = await change("PATCH", "/api/settings", Object.fromEntries(changes));
        for (const key of changes.keys()) showFieldError(key, null);
        showMessage(null);
        showNotice(null);
        render(state);
        break;
      } catch (error) {
        if (!(error instanceof RefusedRequest)) throw error;
        if (error.current) {
          showCurrent(error.current);
          break;
        }
        if (error.key !== null && changes.has(error.key)) {
          const inForce = shown.fields.find((field) => field.key === error.key);
          showFieldError(error.key, `${error.message}. In force: ${inForce.colour}` +
                                        (inForce.value === null ? " (built-in)." : "."));
          changes.delete(error.key);
        } else {
          showFieldError(error.key, error.message);
          break;
        }
      }
    }
  } finally {
    sending = false;
    if (pending.size > 0) sendNow();
  }
}

async function replaceSettings(settings) {
  pending = new Map();
  try {
    render(await change("PUT", "/api/settings", settings), true);
    clearErrors();
    showNotice(null);
  } catch (error) {
    if (error.current) {
      showCurrent(error.current);
    } else {
      showMessage(error.message);
    }
  }
}

function lineList(lines) {
  const list = document.createElement("ul");
  for (const line of lines) {
    const item = document.createElement("li");
    item.textContent = line;
    list.append(item);
  }
  return list;
}

// What the studio made of an opened file: what it left out, and the checker's lines on the file
// as it was, before the studio wrote its own.
function showOpened(name, opened) {
  const notice = document.getElementById("opened");
  const close = document.createElement("button");
  close.type = "button";
  close.className = "close";
  close.textContent = "Close";
  close.addEventListener("click", () => {
    notice.hidden = true;
  });
  notice.replaceChildren(close, `Opened ${name}.`);
  if (opened.notes.length > 0) notice.append(" Left out or changed:", lineList(opened.notes));
  notice.append(" The checker on the file as opened:", lineList(opened.findings));
  notice.hidden = false;
}

async function openFile(file) {
  pending = new Map();
  // What was said of the last file is no longer true of what the page will show.
  document.getElementById("opened").hidden = true;
  try {
    const state = await change("POST", "/api/open", file, "application/octet-stream");
    render(state, true);
    clearErrors();
    showNotice(null);
    showOpened(file.name, state.opened);
  } catch (error) {
    if (error.current) {
      showCurrent(error.current);
    } else {
      showMessage(`${file.name}: ${error.message}`);
    }
  }
}

// Learns of changes made elsewhere. Not while this page has a change of its own on its way: its
// answer brings the new state, or the server refuses it with the current one.
async function pollVersion() {
  if (document.visibilityState !== "visible" || shown === null) return;
  try {
    const {version} = await request("GET", "/api/version");
    if (version === shown.version || changesInFlight > 0 || pending.size > 0) return;
    const state = await request("GET", "/api/state");
    if (changesInFlight > 0 || pending.size > 0 || state.version <= shown.version) return;
    render(state);
    showNotice("The settings were changed in another tab or browser; showing them now.");
  } catch (error) {
    // The status line already says when the studio stops answering; the next poll tries again.
  }
}

async function start() {
  try {
    const [state, presets] =
        await Promise.all([request("GET", "/api/state"), request("GET", "/api/presets")]);
    render(state);
    const buttons = document.getElementById("presets");
    for (const preset of presets) {
      const button = document.createElement("button");
      button.type = "button";
      button.textContent = preset.name;
      button.addEventListener("click", () => replaceSettings(preset.settings));
      buttons.append(button);
    }
  } catch (error) {
    showMessage(error.message);
  }
  document.getElementById("enabled").addEventListener("change", (event) => {
    schedule("enabled", event.target.checked, 0);
  });
  const input = document.getElementById("open-file");
  document.getElementById("open-button").addEventListener("click", () => input.click());
  input.addEventListener("change", () => {
    if (input.files.length > 0) openFile(input.files[0]);
    input.value = "";
  });
  const dialog = document.getElementById("enlarged");
  document.getElementById("enlarged-close").addEventListener("click", () => dialog.close());
  setInterval(pollVersion, kVersionPoll);
  document.addEventListener("visibilitychange", pollVersion);
}

start();
