// What the module asks of the worker script around it: the progress of a
// pass and the bytes of a download. The worker script supplies the handlers
// (onPassBegin, onPassReport, onPassEnd, onDownload) when it creates the
// module. Pointers above 2 GiB reach JavaScript negative: ">>> 0" first.
mergeInto(LibraryManager.library, {
  $PixelizerDownloads: { next: 1, parts: {} },

  pixelizer_pass_begin: function (label) {
    Module['onPassBegin'](UTF8ToString(label >>> 0));
  },
  pixelizer_pass_report: function (donePixels, totalPixels) {
    Module['onPassReport'](donePixels, totalPixels);
  },
  pixelizer_pass_end: function () {
    Module['onPassEnd']();
  },

  pixelizer_download_open__deps: ['$PixelizerDownloads'],
  pixelizer_download_open: function () {
    var download = PixelizerDownloads.next++;
    PixelizerDownloads.parts[download] = [];
    return download;
  },
  pixelizer_download_append__deps: ['$PixelizerDownloads'],
  pixelizer_download_append: function (download, data, size) {
    data >>>= 0;
    PixelizerDownloads.parts[download].push(HEAPU8.slice(data, data + (size >>> 0)));
  },
  pixelizer_download_deliver__deps: ['$PixelizerDownloads'],
  pixelizer_download_deliver: function (download, name) {
    var parts = PixelizerDownloads.parts[download];
    delete PixelizerDownloads.parts[download];
    Module['onDownload'](UTF8ToString(name >>> 0), new Blob(parts));
  },
  pixelizer_download_drop__deps: ['$PixelizerDownloads'],
  pixelizer_download_drop: function (download) {
    delete PixelizerDownloads.parts[download];
  },
});
