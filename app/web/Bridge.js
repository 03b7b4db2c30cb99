// What the module asks of the worker script around it: the progress of a
// pass and the bytes of a download. The worker script supplies the handlers
// (onPassBegin, onPassReport, onPassEnd, takeTableFile, dropTableFile,
// onDownload) when it creates the module. Pointers above 2 GiB reach
// JavaScript negative: ">>> 0" first.
mergeInto(LibraryManager.library, {
  // Downloads in the making, by number. Each goes into the table file the
  // worker script prepared for the save: a file of the browser's storage
  // private to the page, written straight from the heap and copied by the
  // download from there. Where the page has no such storage (an address
  // that is not secure), the bytes are copied into memory instead, which
  // costs that memory and two copies more.
  $PixelizerDownloads: { next: 1, open: {} },

  pixelizer_pass_begin: function (label) {
    Module['onPassBegin'](UTF8ToString(label >>> 0));
  },
  pixelizer_pass_report: function (donePixels, totalPixels) {
    Module['onPassReport'](donePixels, totalPixels);
  },
  pixelizer_pass_end: function () {
    Module['onPassEnd']();
  },

  // The outcomes, as OutputFileWeb.cpp reads them: written, no room in the
  // page's storage, no memory.
  pixelizer_download_open__deps: ['$PixelizerDownloads'],
  pixelizer_download_open: function () {
    var download = PixelizerDownloads.next++;
    var file = Module['takeTableFile']();
    PixelizerDownloads.open[download] = file ? { file: file, written: 0 } : { parts: [] };
    return download;
  },
  pixelizer_download_append__deps: ['$PixelizerDownloads'],
  pixelizer_download_append: function (download, data, size) {
    var table = PixelizerDownloads.open[download];
    data >>>= 0;
    var bytes = HEAPU8.subarray(data, data + (size >>> 0));
    if (table.file) {
      try {
        var written = table.file.access.write(bytes, { at: table.written });
        table.written += written;
        return written === bytes.length ? 0 : 1;
      } catch (error) {
        return 1;
      }
    }
    try {
      table.parts.push(bytes.slice());
      return 0;
    } catch (error) {
      return 2;
    }
  },
  pixelizer_download_deliver__deps: ['$PixelizerDownloads'],
  pixelizer_download_deliver: function (download, name) {
    var table = PixelizerDownloads.open[download];
    var delivered;
    try {
      if (table.file) {
        table.file.access.flush();
        table.file.access.close();
        delivered = table.file;
      } else {
        delivered = new Blob(table.parts);
      }
    } catch (error) {
      return table.file ? 1 : 2;
    }
    delete PixelizerDownloads.open[download];
    Module['onDownload'](UTF8ToString(name >>> 0), delivered);
    return 0;
  },
  pixelizer_download_drop__deps: ['$PixelizerDownloads'],
  pixelizer_download_drop: function (download) {
    var table = PixelizerDownloads.open[download];
    delete PixelizerDownloads.open[download];
    if (table.file)
      Module['dropTableFile'](table.file);
  },
});
