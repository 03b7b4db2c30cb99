'use strict';
// The page of the window: the load and save buttons, the preview, the
// progress and error boxes. Everything the window does happens in a worker
// (worker.js) running the same core as the desktop programs; this script
// only shows what it answers and passes the user's actions on. Nothing
// leaves the machine: the picture is read from the picked file inside the
// browser and the table comes back as a download.

// A download's address is given back once the browser has surely taken it.
const DOWNLOAD_ADDRESS_LIFE_MS = 60000;
// The window's layout, progress rules and which picture each button shows,
// as the core gives them when the worker starts.
let described = null;

const element = (id) => document.getElementById(id);
const ui = {
  caption: element('caption'),
  client: document.querySelector('.client'),
  frame: element('frame'),
  preview: element('preview'),
  previewCanvas: element('preview').querySelector('canvas'),
  load: element('load'),
  save: element('save'),
  kind: element('kind'),
  picker: document.querySelector('input[type=file]'),
  progress: element('progress'),
  progressLabel: element('progress-label'),
  progressBar: element('progress-bar'),
  progressCancel: element('progress-cancel'),
  failure: element('failure'),
  failureTitle: element('failure-title'),
  failureText: element('failure-text'),
  progressTitle: element('progress-title'),
};

let worker = null;
let workerStarted = false;
// True while the worker runs a job: like the window's modal flows, no other
// action starts meanwhile.
let busy = true;
// The file of the last load that read its picture. A cancel ends the worker
// with its state; a new one loads this file again, so the window is as the
// cancel left it.
let loadedFile = null;
let buttonPictures = [];
let pass = null;

// The preview's client size in CSS pixels and the device pixel ratio, for
// the pictures to be painted at whole device pixels.
function view() {
  return {
    previewWidth: ui.preview.clientWidth,
    previewHeight: ui.preview.clientHeight,
    ratio: window.devicePixelRatio,
  };
}

// The page's background colour, the platform's button face, as red +
// 256 green + 65536 blue: what the pictures are composited over.
function backgroundColour() {
  const [red, green, blue] = getComputedStyle(document.body).backgroundColor.match(/\d+/g).map(Number);
  return red + 256 * green + 65536 * blue;
}

function setBusy(value) {
  busy = value;
  document.body.classList.toggle('busy', busy);
}

function draw(canvas, picture) {
  canvas.width = picture.width;
  canvas.height = picture.height;
  const ratio = window.devicePixelRatio;
  canvas.style.width = `${picture.width / ratio}px`;
  canvas.style.height = `${picture.height / ratio}px`;
  if (picture.width > 0 && picture.height > 0) {
    const pixels = new ImageData(new Uint8ClampedArray(picture.bytes.buffer), picture.width, picture.height);
    canvas.getContext('2d').putImageData(pixels, 0, 0);
  }
}

function drawButton(button, index) {
  if (buttonPictures[index])
    draw(button.querySelector('canvas'), buttonPictures[index]);
}

function showPictures(message) {
  buttonPictures = message.buttons;
  for (const [button, layout] of buttonLayouts())
    drawButton(button, button.matches(':hover') ? layout.pointerOver : layout.atRest);
}

function showFailure(text) {
  ui.failureText.textContent = text;
  ui.failure.showModal();
}

// "Description|pattern" in the form of a file type list, "Description (pattern)".
function typeName(filter) {
  const [description, pattern] = filter.split('|');
  return `${description} (${pattern})`;
}

function buttonLayouts() {
  return described ? [[ui.load, described.load], [ui.save, described.save]] : [];
}

function place(element, [left, top, width, height]) {
  Object.assign(element.style, { left: `${left}px`, top: `${top}px`, width: `${width}px`, height: `${height}px` });
}

function showTexts(texts) {
  described = texts;
  ui.client.style.width = `${texts.client[0]}px`;
  ui.client.style.height = `${texts.client[1]}px`;
  place(ui.frame, texts.frame);
  place(ui.preview, texts.preview);
  place(ui.load, texts.load.bounds);
  place(ui.save, texts.save.bounds);
  ui.progressBar.max = texts.progressSteps;
  document.title = texts.caption;
  ui.caption.textContent = texts.caption;
  ui.failureTitle.textContent = texts.title;
  ui.progressTitle.textContent = texts.title;
  ui.progressCancel.textContent = texts.cancel;
  ui.picker.accept = texts.openFilter.split('|')[1].replace('*', '');
  for (const [control, name, description] of [[ui.load, texts.loadName, texts.loadDescription],
    [ui.save, texts.saveName, texts.saveDescription], [ui.preview, texts.previewName, texts.previewDescription]]) {
    control.setAttribute('aria-label', name);
    control.setAttribute('aria-description', description);
  }
  ui.kind.options[0].text = typeName(texts.saveFilter);
  ui.kind.options[1].text = typeName(texts.workbookFilter);
}

function beginPass(label) {
  endPass();
  ui.progressLabel.textContent = label;
  ui.progressBar.value = 0;
  pass = { timer: setTimeout(() => ui.progress.showModal(), described.progressDelayMs) };
}

function endPass() {
  if (!pass)
    return;
  clearTimeout(pass.timer);
  pass = null;
  if (ui.progress.open)
    ui.progress.close();
}

// stored names the table's file in the page's storage, which the worker
// forgets once the download has read it.
function download(name, blob, stored) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => {
    URL.revokeObjectURL(link.href);
    if (stored)
      worker.postMessage({ type: 'forget', name: stored });
  }, DOWNLOAD_ADDRESS_LIFE_MS);
}

function answer(message) {
  switch (message.type) {
  case 'created':
    workerStarted = true;
    showTexts(message.texts);
    showPictures(message);
    if (loadedFile) {
      post({ type: 'load', file: loadedFile, view: view() });
    } else {
      draw(ui.previewCanvas, message.preview);
      setBusy(false);
      document.body.removeAttribute('aria-busy');
    }
    break;
  case 'painted':
    showPictures(message);
    draw(ui.previewCanvas, message.preview);
    break;
  case 'loaded':
    if (message.preview)
      draw(ui.previewCanvas, message.preview);
    if (message.failure) {
      loadedFile = null;
      showFailure(message.failure);
    }
    setBusy(false);
    document.body.removeAttribute('aria-busy');
    break;
  case 'pass':
    beginPass(message.label);
    break;
  case 'report':
    ui.progressBar.value = Math.floor(message.done * described.progressSteps / Math.max(message.total, 1));
    break;
  case 'passEnd':
    endPass();
    break;
  case 'download':
    download(message.name, message.blob, message.stored);
    break;
  case 'failure':
    showFailure(message.message);
    break;
  case 'saved':
    endPass();
    setBusy(false);
    if (message.failure)
      showFailure(message.failure);
    break;
  case 'broken':
    // The new worker starts from the placeholder: loading the same file
    // again might break it the same way.
    endPass();
    showFailure(message.message);
    loadedFile = null;
    if (workerStarted)
      startWorker();
    break;
  }
}

function post(message) {
  setBusy(true);
  worker.postMessage(message);
}

function startWorker() {
  if (worker)
    worker.terminate();
  const started = new Worker('worker.js');
  worker = started;
  started.onmessage = (event) => {
    // A worker that was ended may still have answers on their way.
    if (worker === started)
      answer(event.data);
  };
  started.onerror = (event) => {
    if (worker === started)
      showFailure(event.message);
  };
  post({ type: 'create', background: backgroundColour(), view: view() });
}

function cancel() {
  endPass();
  startWorker();
}

// sImageMouseEnter and sImageMouseLeave.
for (const button of [ui.load, ui.save]) {
  const layout = () => (button === ui.load ? described.load : described.save);
  button.addEventListener('mouseenter', () => described && drawButton(button, layout().pointerOver));
  button.addEventListener('mouseleave', () => described && drawButton(button, layout().atRest));
}

ui.load.addEventListener('click', () => {
  if (busy)
    return;
  // Emptied first, so that picking the same file again is a choice too.
  ui.picker.value = '';
  ui.picker.click();
});
ui.picker.addEventListener('change', () => {
  const file = ui.picker.files[0] || null;
  loadedFile = file;
  post({ type: 'load', file, view: view() });
});
ui.picker.addEventListener('cancel', () => {
  loadedFile = null;
  post({ type: 'load', file: null, view: view() });
});
ui.save.addEventListener('click', () => {
  if (!busy)
    post({ type: 'save', workbook: ui.kind.value === 'xlsx' });
});
ui.progressCancel.addEventListener('click', cancel);
ui.progress.addEventListener('cancel', (event) => {
  event.preventDefault();
  cancel();
});
element('failure-ok').addEventListener('click', () => ui.failure.close());

// A move to a screen of another density, or a zoom, repaints the pictures
// for it.
function watchDensity() {
  matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', () => {
    if (workerStarted)
      worker.postMessage({ type: 'paint', view: view() });
    watchDensity();
  }, { once: true });
}

watchDensity();
startWorker();
