// The studio's page: renders the server's state, sends each change of a field, and shows the
// themed screens as the server redraws them. The server is the only judge of what a colour
// string means; the page sends what the person typed and shows what the server answers.
"use strict";

const kTypingPause = 200;  // Milliseconds without typing before a field's value is sent.

const fieldsByKey = new Map();  // key -> {root, picker, text, error, findings}
const screenImages = [];        // {stock, themed} per screen, in the server's order
let pending = new Map();        // key -> value not yet sent (null: back to the built-in colour)
let sending = false;
let sendTimer = null;

class RefusedRequest extends Error {
  constructor(message, key) {
    super(message);
    this.key = key;
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
                             answer.key ?? null);
  }
  return answer;
}

function showMessage(text) {
  const message = document.getElementById("message");
  message.textContent = text || "";
  message.hidden = !text;
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
  text.addEventListener("input", () => schedule(field.key, text.value.trim() || null));
  text.addEventListener("keydown", (event) => {
    if (event.key === "Enter") sendNow();
  });
  picker.addEventListener("input", () => {
    // The picker knows no alpha: an alpha the person wrote stays.
    const alpha = text.value.match(/:[0-9.]*$/);
    text.value = picker.value.toUpperCase() + (alpha ? alpha[0] : "");
    schedule(field.key, text.value);
  });
  root.querySelector(".reset").addEventListener("click", () => {
    text.value = "";
    schedule(field.key, null, 0);
  });
  fieldsByKey.set(field.key, entry);
  document.getElementById("fields").append(root);
  return entry;
}

function makeScreens(screens) {
  const container = document.getElementById("screens");
  screens.forEach((screen, index) => {
    const figure =
        document.getElementById("screen-template").content.firstElementChild.cloneNode(true);
    figure.dataset.screen = index;
    figure.querySelector("figcaption").textContent = screen.title;
    const stock = figure.querySelector(".stock");
    const themed = figure.querySelector(".themed");
    stock.alt = `${screen.title}, stock`;
    themed.alt = `${screen.title}, themed`;
    stock.src = screen.stock;
    screenImages.push({stock, themed});
    container.append(figure);
  });
}

// Each themed picture carries the version it shows once it has loaded, so that whoever waits for
// a change (a person, a test) can tell the new picture from the old.
function showThemed(image, url, version) {
  image.onload = () => {
    image.dataset.version = version;
  };
  image.src = url;
}

function render(state) {
  if (fieldsByKey.size === 0) state.fields.forEach(makeField);
  if (screenImages.length === 0) makeScreens(state.screens);

  for (const field of state.fields) {
    const entry = fieldsByKey.get(field.key);
    // What the person is typing stays as typed; the server's answer shows once they leave.
    if (document.activeElement !== entry.text && !pending.has(field.key)) {
      entry.text.value = field.value ?? "";
    }
    entry.text.placeholder = `built-in ${field.builtIn}`;
    entry.picker.value = field.colour.toLowerCase();
    entry.root.classList.toggle("built-in", field.value === null);
    fillFindings(entry.findings, state.findings.filter((finding) => finding.key === field.key));
  }

  const enabled = document.getElementById("enabled");
  enabled.checked = state.enabled !== false;
  fillFindings(document.querySelector('[data-key="enabled"] .findings'),
               state.findings.filter((finding) => finding.key === "enabled"));
  fillFindings(document.getElementById("file-findings"),
               state.findings.filter((finding) => finding.key === null));

  state.screens.forEach((screen, index) => {
    showThemed(screenImages[index].themed, screen.themed, state.version);
  });
  document.body.dataset.version = state.version;
  document.getElementById("status").textContent =
      `Themed screens redrawn in ${Math.round(state.redrawMilliseconds)} ms · ` +
      state.hooks.join(" · ");
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
        const state = await request("PATCH", "/api/settings", Object.fromEntries(changes));
        for (const key of changes.keys()) showFieldError(key, null);
        showMessage(null);
        render(state);
        break;
      } catch (error) {
        if (!(error instanceof RefusedRequest)) throw error;
        showFieldError(error.key, error.message);
        if (error.key === null || !changes.has(error.key)) break;
        changes.delete(error.key);
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
    render(await request("PUT", "/api/settings", settings));
    for (const key of fieldsByKey.keys()) showFieldError(key, null);
    showMessage(null);
  } catch (error) {
    showMessage(error.message);
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
  try {
    const state = await request("POST", "/api/open", file, "application/octet-stream");
    render(state);
    for (const key of fieldsByKey.keys()) showFieldError(key, null);
    showMessage(null);
    showOpened(file.name, state.opened);
  } catch (error) {
    showMessage(`${file.name}: ${error.message}`);
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
  input.addEventListener("change", () => {
    if (input.files.length > 0) openFile(input.files[0]);
    input.value = "";
  });
}

start();
