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

  pageHasTouch: function() {
    return navigator.maxTouchPoints > 0 ? 1 : 0;
  },

  showTouchButtons: function() {
    Module['useTouch']();
  },

  setTouchButtons: function(paused, keyCard) {
    Module['touchState'](!!paused, !!keyCard);
  },

  // Browsers let a page's audio start only in an event a person made; a finger's lift is one
  // (its touch is not), so the context the game's OpenAL made is started there if it waits.
  wakeAudio__deps: ['$AL'],
  wakeAudio: function() {
    if (AL.paused) return;  // the game's own pause of an idle device: it resumes it itself
    for (var id in AL.contexts) {
      var context = AL.contexts[id].audioCtx;
      if (context.state === 'suspended') context.resume();
    }
  },

  // The canvas alone, or on a touch screen the whole page, whose buttons are the keys there.
  toggleCanvasFullScreen: function() {
    var target = Module['fullScreenTarget'] || Module['canvas'];
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(function() {});
    } else if (target.requestFullscreen) {
      target.requestFullscreen().catch(function() {});
    }
  },
});
