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
// A table is written into a file of the browser's storage private to the
// page (Bridge.js), one per save, named by the time it was made. The page
// has a delivered one forgotten once its download has surely read it;
// what a cancel or a closed page left behind goes at a later start or save,
// once it is as old.
const TABLE_FOLDER = 'tables';
const TABLE_LIFE_MS = 60000;

let lastReport = 0;
let tableFile = null;
let saves = 0;
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
  takeTableFile() {
    const file = tableFile;
    tableFile = null;
    return file;
  },
  dropTableFile,
  onDownload(name, delivered) {
    if (delivered instanceof Blob) {
      postMessage({ type: 'download', name, blob: delivered });
      return;
    }
    delivered.handle.getFile().then(
      (file) => postMessage({ type: 'download', name, blob: file, stored: delivered.name }),
      (error) => postMessage({ type: 'failure', message: String(error.message || error) }));
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

async function tableFolder() {
  if (!self.FileSystemSyncAccessHandle || !navigator.storage || !navigator.storage.getDirectory)
    return null;
  try {
    const root = await navigator.storage.getDirectory();
    return await root.getDirectoryHandle(TABLE_FOLDER, { create: true });
  } catch (error) {
    return null;
  }
}

async function removeOldTables(folder) {
  const names = [];
  for await (const name of folder.keys())
    names.push(name);
  for (const name of names)
    if (!(Date.now() - parseInt(name, 10) < TABLE_LIFE_MS))
      await folder.removeEntry(name).catch(() => {});
}

// Null where the page has no such storage: the table then collects in memory.
async function prepareTableFile() {
  const folder = await tableFolder();
  if (!folder)
    return null;
  try {
    await removeOldTables(folder);
    const name = `${Date.now()}-${++saves}`;
    const handle = await folder.getFileHandle(name, { create: true });
    return { folder, name, handle, access: await handle.createSyncAccessHandle() };
  } catch (error) {
    return null;
  }
}

function dropTableFile(file) {
  file.access.close();
  file.folder.removeEntry(file.name).catch(() => {});
}

async function save(message) {
  tableFile = await prepareTableFile();
  const failure = text(module._pixelizer_save(message.workbook ? 1 : 0));
  if (tableFile) {
    // Prepared, but the flow wrote no table.
    dropTableFile(tableFile);
    tableFile = null;
  }
  postMessage({ type: 'saved', failure });
}

async function forget(name) {
  const folder = await tableFolder();
  if (folder)
    await folder.removeEntry(name).catch(() => {});
}

async function create(message) {
  const texts = text(module.ccall('pixelizer_create', 'number', ['number', 'string'],
    [message.background, new URL('pixelizer.wasm', location.href).pathname]));
  module._pixelizer_picture_changed();
  transferred({ type: 'created', texts: JSON.parse(texts), ...pictures(message.view) });
  const folder = await tableFolder();
  if (folder)
    await removeOldTables(folder);
}

function handle(message) {
  switch (message.type) {
  case 'create':
    return create(message);
  case 'load':
    return load(message);
  case 'save':
    return save(message);
  case 'forget':
    return forget(message.name);
  case 'paint':
    transferred({ type: 'painted', ...pictures(message.view) });
    break;
  }
}

// The in-memory file system grows a file by an eighth at a time beyond
// 1 MiB, copying all of it each time: the scratch files of a workbook,
// hundreds of MiB for a large picture, took most of its time so. Grown by
// doubling, each byte is copied about once.
function growFilesByDoubling() {
  const memfs = module.FS.filesystems.MEMFS;
  const expand = memfs.expandFileStorage;
  memfs.expandFileStorage = (node, capacity) => {
    // Called before every write: only a write beyond the file's room grows it.
    const room = node.contents ? node.contents.length : 0;
    const wanted = capacity >>> 0;
    expand.call(memfs, node, wanted > room ? Math.max(wanted, 2 * room) : wanted);
  };
}

let queue = started.then((created) => {
  module = created;
  growFilesByDoubling();
});
onmessage = (event) => {
  queue = queue.then(() => handle(event.data)).catch((error) => {
    // A fault of the module itself (a trap, an abort): its state is
    // unknown from here on, and the page replaces this worker.
    postMessage({ type: 'broken', message: String(error && error.message || error) });
  });
};
