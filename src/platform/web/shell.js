// The page around the game: the loading line and what went wrong, the screen fitted to the
// window, the touch controls, the palette, and the service worker that keeps the page for
// offline play. It runs before tharvok.js and fills in the Module that tharvok.js reads (a test
// may have begun it already: its own onRuntimeInitialized is kept).
'use strict';
var Module = window.Module || {};
window.Module = Module;

(function () {
  var canvas = document.getElementById('screen');
  var stage = document.getElementById('stage');
  var status = document.getElementById('status');
  var failed = false;

  // Every colour the game uses at least 4.5:1 against black, its hue kept.
  var CONTRAST = ['#000000', '#6f8cff', '#00b000', '#00b0b0', '#f04848', '#d860d8', '#b8a000',
                  '#c0c0c0', '#949494', '#a0b4ff', '#50ff50', '#60ffff', '#ff8c8c', '#ff90ff',
                  '#ffff60', '#ffffff'];

  function remembered(name) {
    try { return localStorage.getItem('tharvok.' + name); } catch (e) { return null; }
  }
  function remember(name, value) {
    try { localStorage.setItem('tharvok.' + name, value); } catch (e) { /* not kept */ }
  }

  // Loading and failure ---------------------------------------------------------------------
  function say(text, failure) {
    status.textContent = text;
    status.hidden = false;
    status.className = failure ? 'failure' : '';
    status.setAttribute('role', failure ? 'alert' : 'status');
  }

  function fail(text) {
    if (failed) {
      return;
    }
    failed = true;
    say(text, true);
  }

  function missing(file, why) {
    fail('Tharvok could not load ' + file + (why ? ' (' + why + ')' : '') + '. Reload the page; ' +
         'if that does not help, the server lacks the file: the page needs index.html, shell.js, ' +
         'tharvok.js, tharvok.wasm and tharvok.data in one folder.');
  }
  window.tharvokMissing = missing;

  // Whatever stops the game: a file that did not come, or an error in the running game.
  function stopped(what) {
    var text = String(what && what.message ? what.message : what);
    var file = /tharvok\.(?:wasm|data|js)/.exec(text);
    if (file && !Module.calledRun) {
      // Emscripten's loader says "STATUS : URL" or "NetworkError for: URL".
      missing(file[0], /^NetworkError/.test(text) ? 'no answer from the server'
                                                  : text.replace(/\s*:\s*\S*$/, '').slice(0, 80));
    } else {
      fail('The game stopped with an error: ' + text.slice(0, 200) + '. Reload the page to ' +
           'play again; if it happens again, please report it with what you did just before.');
    }
  }
  window.addEventListener('error', function (event) { stopped(event.error || event.message); });
  window.addEventListener('unhandledrejection', function (event) { stopped(event.reason); });
  Module.onAbort = stopped;

  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    fail('This browser cannot run WebAssembly, which Tharvok needs. Try a current Firefox, ' +
         'Chrome, Edge or Safari, or turn WebAssembly back on if it was turned off.');
  } else {
    say('Loading Tharvok\u2026', false);
  }

  Module.setStatus = function (text) {
    var progress = /\((\d+)\/(\d+)\)/.exec(text || '');
    if (!failed && progress) {
      say('Loading the worlds\u2026 ' + Math.round(progress[1] / 1024) + ' of ' +
          Math.round(progress[2] / 1024) + ' KiB', false);
    }
  };

  // The program, fetched with its own HTTP status in any message.
  Module.instantiateWasm = function (imports, receive) {
    fetch('tharvok.wasm', {credentials: 'same-origin'}).then(function (response) {
      if (!response.ok) {
        throw {file: response.status + ' ' + response.statusText};
      }
      if (/^application\/wasm/.test(response.headers.get('Content-Type') || '')) {
        return WebAssembly.instantiateStreaming(response, imports);
      }
      return response.arrayBuffer().then(function (bytes) {
        return WebAssembly.instantiate(bytes, imports);
      });
    }, function () {
      throw {file: 'no answer from the server'};
    }).then(function (result) {
      receive(result.instance, result.module);
    }, function (error) {
      if (error && error.file) {
        missing('tharvok.wasm', error.file);
      } else {
        stopped(error);
      }
    });
    return {};
  };

  Module.tharvokOpened = function () {
    if (!failed) {
      status.hidden = true;
    }
    setTimeout(fit);
  };

  // A button clicked or touched gives the focus back, so that Space in play does not press it
  // again; from the keyboard it keeps it.
  function letFocusGo(event) {
    if (event.detail > 0) {
      event.currentTarget.blur();
    }
  }

  // The screen fitted to the window --------------------------------------------------------
  // Cells are whole device pixels, twice as high as wide, as large as the stage allows. Where
  // they would be narrower than SMALL CSS pixels (a phone held upright; held sideways it has
  // room for more), the page shows the part of the screen that fits at READABLE pixels a cell,
  // which the game keeps on the player and on any box open over the map, unless the player has
  // asked for the whole map.
  var SMALL = 6;
  var READABLE = 8;
  var viewButton = document.getElementById('view');
  var wholeMap = remembered('view') === 'whole';
  // The part of the screen shown (cells), and the room for it (CSS pixels).
  var shown = {x: 0, y: 0, width: 80, height: 25};
  var room = {width: 0, height: 0, cell: 1};
  function fit() {
    var ratio = window.devicePixelRatio || 1;
    var box = stage.getBoundingClientRect();
    var cell = Math.max(1, Math.floor(Math.min(box.width * ratio / 80, box.height * ratio / 50)));
    var small = cell / ratio < SMALL;
    viewButton.hidden = !small;
    var columns = 0;
    var rows = 0;
    if (small && !wholeMap) {
      cell = Math.ceil(READABLE * ratio);
      columns = Math.max(1, Math.min(80, Math.floor(box.width * ratio / cell)));
      rows = Math.max(1, Math.min(25, Math.floor(box.height * ratio / (2 * cell))));
    }
    if (canvas.width !== 80 * cell || canvas.height !== 50 * cell) {
      canvas.width = 80 * cell;
      canvas.height = 50 * cell;
      if (Module.tharvokRepaint) {
        Module.tharvokRepaint();
      }
    }
    canvas.style.width = 80 * cell / ratio + 'px';
    canvas.style.height = 50 * cell / ratio + 'px';
    room = {width: box.width, height: box.height, cell: cell / ratio};
    if (!columns) {
      shown = {x: 0, y: 0, width: 80, height: 25};
    }
    place();
    if (Module._tharvok_view && Module.calledRun) {
      Module._tharvok_view(columns, rows);
    }
  }
  // The canvas moved so that the part shown stands in the middle of the stage, the rest cut
  // away (for the eye and for taps alike).
  function place() {
    var style = canvas.style;
    if (shown.width === 80 && shown.height === 25) {
      style.position = style.left = style.top = style.clipPath = '';
      return;
    }
    var w = room.cell;
    var h = 2 * room.cell;
    style.position = 'absolute';
    style.left = (room.width - shown.width * w) / 2 - shown.x * w + 'px';
    style.top = (room.height - shown.height * h) / 2 - shown.y * h + 'px';
    style.clipPath = 'inset(' + shown.y * h + 'px ' + (80 - shown.x - shown.width) * w + 'px ' +
                     (25 - shown.y - shown.height) * h + 'px ' + shown.x * w + 'px)';
  }
  Module.tharvokShowView = function (x, y, width, height) {
    shown = {x: x, y: y, width: width, height: height};
    place();
  };
  viewButton.addEventListener('click', function (event) {
    letFocusGo(event);
    wholeMap = !wholeMap;
    remember('view', wholeMap ? 'whole' : 'follow');
    viewButton.setAttribute('aria-pressed', String(wholeMap));
    fit();
  });
  viewButton.setAttribute('aria-pressed', String(wholeMap));
  // A zoom or a move to another screen changes the ratio of device pixels to CSS pixels.
  function watchRatio() {
    var query = matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
    query.addEventListener('change', function () {
      fit();
      watchRatio();
    }, {once: true});
  }
  new ResizeObserver(fit).observe(stage);
  window.addEventListener('resize', fit);
  watchRatio();
  fit();

  // A tap or a click on the screen is the game's click on the cell under it.
  canvas.addEventListener('click', function (event) {
    var box = canvas.getBoundingClientRect();
    var x = Math.floor((event.clientX - box.left) * 80 / box.width);
    var y = Math.floor((event.clientY - box.top) * 25 / box.height);
    if (Module._tharvok_click && x >= shown.x && x < shown.x + shown.width && y >= shown.y &&
        y < shown.y + shown.height) {
      Module._tharvok_click(x, y);
    }
  });

  // Palette --------------------------------------------------------------------------------
  var contrastButton = document.getElementById('contrast');
  function choosePalette(contrast) {
    Module.tharvokPalette = contrast ? CONTRAST : undefined;
    contrastButton.setAttribute('aria-pressed', String(contrast));
    if (Module.tharvokRepaint) {
      Module.tharvokRepaint();
    }
  }
  contrastButton.addEventListener('click', function (event) {
    letFocusGo(event);
    var contrast = !Module.tharvokPalette;
    remember('palette', contrast ? 'contrast' : 'console');
    choosePalette(contrast);
  });
  // The console's dark blue and dark red are hard to see in cells as small as a phone's: there the
  // first visit plays in high contrast, until the player chooses.
  var paletteChoice = remembered('palette');
  choosePalette(paletteChoice ? paletteChoice === 'contrast' :
                matchMedia('(pointer: coarse) and (max-width: 640px), ' +
                           '(pointer: coarse) and (max-height: 640px)').matches);

  // Touch controls -------------------------------------------------------------------------
  var touchButton = document.getElementById('touch');
  function showTouch(shown) {
    document.body.classList.toggle('touch', shown);
    touchButton.setAttribute('aria-pressed', String(shown));
  }
  touchButton.addEventListener('click', function (event) {
    letFocusGo(event);
    var shown = !document.body.classList.contains('touch');
    remember('touch', shown ? 'on' : 'off');
    showTouch(shown);
  });
  var touchChoice = remembered('touch');
  showTouch(touchChoice ? touchChoice === 'on' : matchMedia('(pointer: coarse)').matches);

  // Each finger holds the key of the control it went down on until it comes up, several at once:
  // on the other keys the presses and releases reach the game as a key's would; a direction is
  // a tap, one step at once however long the touch, and held only while the finger stays down.
  function send(button, down) {
    var key = Number(button.dataset.key);
    if (button.parentElement.id === 'cross') {
      Module._tharvok_touch(key, down);
    } else {
      Module._tharvok_key(key, down);
    }
  }
  var fingers = new Map();
  var holders = {};
  function letGo(pointer) {
    var button = fingers.get(pointer);
    if (!button) {
      return;
    }
    fingers.delete(pointer);
    var key = Number(button.dataset.key);
    if (--holders[key] === 0) {
      showHeld(button, false);
      send(button, 0);
    }
  }
  // A control held down looks pressed; the panel's, which shows the panel only while held, says
  // so to a screen reader too.
  function showHeld(button, held) {
    button.classList.toggle('held', held);
    if (button.hasAttribute('aria-pressed')) {
      button.setAttribute('aria-pressed', String(held));
    }
  }
  // A control pressed without a pointer (by a screen reader) is a tap of its key; after a finger
  // or the mouse the key has gone down and up already.
  function tapWithoutPointer(event) {
    var key = Number(event.currentTarget.dataset.key);
    if (event.detail === 0 && key) {
      Module._tharvok_key(key, 1);
      Module._tharvok_key(key, 0);
    }
  }
  // The controls are the game's: it lists them, one line each, with the key each sends, what
  // each shows and what a screen reader calls it ("NAME\tPAD\tKEY\tFACE\tWORD\tLABEL"), the keys
  // named as its help box names them. Each is a button of its own that a screen reader reaches.
  function setUpPad() {
    var list = Module.UTF8ToString(Module._tharvok_touch_controls());
    list.split('\n').forEach(function (line) {
      var field = line.split('\t');
      if (field.length < 6) {
        return;
      }
      var button = document.createElement('button');
      button.type = 'button';
      button.dataset.action = field[0];
      button.dataset.key = field[2];
      button.hidden = !Number(field[2]);
      button.textContent = field[3];
      button.setAttribute('aria-label', field[5]);
      if (field[0] === 'panel') {
        button.setAttribute('aria-pressed', 'false');
      }
      button.classList.toggle('long', field[3].length > 4);
      if (field[4]) {
        var word = document.createElement('small');
        word.textContent = field[4];
        button.appendChild(word);
      }
      button.addEventListener('click', tapWithoutPointer);
      document.getElementById(field[1]).appendChild(button);
    });
    document.querySelectorAll('.pad').forEach(function (pad) {
      pad.addEventListener('pointerdown', function (event) {
        var button = event.target.closest('button');
        event.preventDefault();
        if (!button || !Number(button.dataset.key) || fingers.has(event.pointerId)) {
          return;
        }
        button.setPointerCapture(event.pointerId);
        fingers.set(event.pointerId, button);
        var key = Number(button.dataset.key);
        holders[key] = (holders[key] || 0) + 1;
        if (holders[key] === 1) {
          showHeld(button, true);
          send(button, 1);
        }
      });
      ['pointerup', 'pointercancel', 'lostpointercapture'].forEach(function (type) {
        pad.addEventListener(type, function (event) { letGo(event.pointerId); });
      });
      pad.addEventListener('contextmenu', function (event) { event.preventDefault(); });
    });
  }
  // The game lets every key go when the page loses the focus; so do the controls.
  window.addEventListener('blur', function () {
    fingers.forEach(function (button) { showHeld(button, false); });
    fingers.clear();
    holders = {};
  });

  // Offline --------------------------------------------------------------------------------
  // Registered once every file has come, so that a new version never mixes with this one.
  function keepOffline() {
    if ('serviceWorker' in navigator && window.isSecureContext) {
      navigator.serviceWorker.register('service-worker.js').catch(function () {});
    }
  }

  var theirs = Module.onRuntimeInitialized;
  Module.onRuntimeInitialized = function () {
    setUpPad();
    keepOffline();
    if (theirs) {
      theirs();
    }
  };
})();
