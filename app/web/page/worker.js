'use strict';
// The worker that runs the window's core: it answers the page's messages
// one at a time, in the order they came, so a job never overlaps another.
// Pictures leave as {width, height, bytes} with red, green, blue, alpha
// bytes; their buffers are handed over, not copied.

importScripts('pixelizer.js');

// A pass reports to the page at most this often; the core reports far more.
const REPORT_INTERVAL_MS = 50;
// Where the picked file is seen by the core while it is read: in the
// runtime's in-memory file system, which takes the file's bytes over as
// they are, and drops them once the picture is loaded.
const PICKED_FOLDER = '/picked';
const BUTTON_PICTURES = 4;

let lastReport = 0;
const started = createPixelizer({
  onPassBegin(label) {
    lastReport = 0;
    postMessage({ type: 'pass', label });
  },
  onPassReport(done, total) {
    const now = performance.now();
    if (now - lastReport < REPORT_INTERVAL_MS)
      return;
    lastReport = now;
    postMessage({ type: 'report', done, total });
  },
  onPassEnd() {
    postMessage({ type: 'passEnd' });
  },
  onDownload(name, blob) {
    postMessage({ type: 'download', name, blob });
  },
});

let module = null;

function text(pointer) {
  return pointer ? module.UTF8ToString(pointer) : null;
}

// The picture the core painted, read out of the heap before the next
// painting reuses its bytes.
function painted(pointer) {
  const fields = (pointer >>> 0) / 4;
  const width = module.HEAP32[fields];
  const height = module.HEAP32[fields + 1];
  const bytes = module.HEAPU32[fields + 2];
  return { width, height, bytes: module.HEAPU8.slice(bytes, bytes + width * height * 4) };
}

function pictures(view) {
  const buttons = [];
  for (let index = 0; index < BUTTON_PICTURES; ++index)
    buttons.push(painted(module._pixelizer_paint_button(index, view.ratio)));
  return { buttons, preview: preview(view) };
}

function preview(view) {
  return painted(module._pixelizer_paint_preview(view.previewWidth, view.previewHeight, view.ratio));
}

function transferred(message) {
  const buffers = [];
  for (const picture of [message.preview, ...(message.buttons || [])])
    if (picture)
      buffers.push(picture.bytes.buffer);
  postMessage(message, buffers);
}

async function load(message) {
  let chosen = null;
  let written = false;
  if (message.file) {
    chosen = PICKED_FOLDER + '/' + message.file.name;
    module.FS.mkdirTree(PICKED_FOLDER);
    try {
      module.FS.writeFile(chosen, new Uint8Array(await message.file.arrayBuffer()), { canOwn: true });
      written = true;
    } catch (error) {
      // A file that the browser can no longer read (changed or gone since it
      // was picked) is one that cannot be opened: the core says so.
    }
  }
  const failure = text(module.ccall('pixelizer_load', 'number', ['string'], [chosen]));
  if (written)
    module.FS.unlink(chosen);
  const changed = module._pixelizer_picture_changed() !== 0;
  transferred({ type: 'loaded', failure, preview: changed ? preview(message.view) : null });
}

function handle(message) {
  switch (message.type) {
  case 'create': {
    const texts = text(module.ccall('pixelizer_create', 'number', ['number', 'string'],
      [message.background, new URL('pixelizer.wasm', location.href).pathname]));
    module._pixelizer_picture_changed();
    transferred({ type: 'created', texts: JSON.parse(texts), ...pictures(message.view) });
    break;
  }
  case 'load':
    return load(message);
  case 'save':
    postMessage({ type: 'saved', failure: text(module._pixelizer_save(message.workbook ? 1 : 0)) });
    break;
  case 'paint':
    transferred({ type: 'painted', ...pictures(message.view) });
    break;
  }
}

let queue = started.then((created) => { module = created; });
onmessage = (event) => {
  queue = queue.then(() => handle(event.data)).catch((error) => {
    // A fault of the module itself (a trap, an abort): its state is
    // unknown from here on, and the page replaces this worker.
    postMessage({ type: 'broken', message: String(error && error.message || error) });
  });
};
