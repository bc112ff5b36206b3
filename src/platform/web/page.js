// The page's side of the browser build's platform calls (web.h): messages over the page, the
// pointer, full screen, silence while hidden, and calls into the game that let it end well.
mergeInto(LibraryManager.library, {
  // The game ends with exit(), which throws to unwind the page's event. Thrown from an event
  // the page would report it as an error, and the runtime, kept alive for timers and events,
  // would not end: so the runtime is let go, and exit runs its handlers and tells the page.
  callGame: function(call, data) {
    try {
      {{{ makeDynCall('vi', 'call') }}}(data);
    } catch (e) {
      if (!(e instanceof ExitStatus)) throw e;
      runtimeKeepaliveCounter = 0;
      try {
        exit(e.status);
      } catch (again) {
        if (!(again instanceof ExitStatus)) throw again;
      }
    }
  },

  letRuntimeEnd: function() {
    runtimeKeepaliveCounter = 0;
  },

  showPageMessage: function(text) {
    Module['showMessage'](UTF8ToString(text));
  },

  pageReady: function() {
    Module['ready']();
  },

  setPageCursor: function(shown) {
    Module['canvas'].style.cursor = shown ? '' : 'none';
  },

  // Every context's own gain, which the game leaves at 1.
  setPageSound__deps: ['$AL'],
  setPageSound: function(heard) {
    for (var id in AL.contexts) {
      AL.contexts[id].gain.gain.value = heard ? 1 : 0;
    }
  },

  canvasOffset: function(left, top) {
    var rect = Module['canvas'].getBoundingClientRect();
    HEAPF64[left >> 3] = rect.left;
    HEAPF64[top >> 3] = rect.top;
  },

  canvasFullScreen: function() {
    return document.fullscreenElement ? 1 : 0;
  },

  toggleCanvasFullScreen: function() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(function() {});
    } else if (Module['canvas'].requestFullscreen) {
      Module['canvas'].requestFullscreen().catch(function() {});
    }
  },
});
