// The page's side of the browser back end (an Emscripten JavaScript library): paints the
// console's cells on the canvas #screen and names it by where the player is (after each frame
// drawn), sets the page's title, adds what the game says to the log #said, and shows the line
// #again when the game is over. It keeps a copy of every cell, so that the page (shell.js) can
// have the whole screen painted again when the canvas changes size or the palette changes,
// without a frame of the game: Module.tharvokRepaint().
mergeInto(LibraryManager.library, {
  $tharvokScreen: {
    // The console's sixteen colours, unless the page has chosen others (Module.tharvokPalette).
    palette: ['#000000', '#000080', '#008000', '#008080', '#800000', '#800080', '#808000',
              '#c0c0c0', '#808080', '#0000ff', '#00ff00', '#00ffff', '#ff0000', '#ff00ff',
              '#ffff00', '#ffffff'],
    // Each cell: its attribute and its glyph's code point; blanks on black until drawn.
    cells: null,
    cursorX: 0,
    cursorY: 0,
    cursorVisible: false,
    context: null,
    // A cell in the canvas's own pixels (whole numbers: no seams between cells).
    width: 10,
    height: 20,
    // The font is stretched so that a glyph fills its cell: box lines meet.
    scaleX: 1,
    scaleY: 1,
    ascent: 0,
    // The canvas's accessible name as last set.
    name: '',

    // After a frame has drawn: the canvas named by the game's world and the player's cell.
    nameScreen: function() {
      var name = UTF8ToString(Module['_tharvok_whereabouts']());
      if (name !== tharvokScreen.name) {
        tharvokScreen.name = name;
        document.getElementById('screen').setAttribute('aria-label', name);
      }
    },

    paintCell: function(index) {
      var screen = tharvokScreen;
      var context = screen.context;
      var palette = Module['tharvokPalette'] || screen.palette;
      var attribute = screen.cells[2 * index];
      var codePoint = screen.cells[2 * index + 1];
      var w = screen.width;
      var h = screen.height;
      var x = (index % 80) * w;
      var y = Math.floor(index / 80) * h;
      context.save();
      context.beginPath();
      context.rect(x, y, w, h);
      context.clip();
      context.fillStyle = palette[(attribute >> 4) & 15];
      context.fillRect(x, y, w, h);
      if (codePoint !== 32) {
        context.fillStyle = palette[attribute & 15];
        context.translate(x, y);
        context.scale(screen.scaleX, screen.scaleY);
        context.fillText(String.fromCodePoint(codePoint), 0, screen.ascent);
      }
      context.restore();
      if (screen.cursorVisible && index === screen.cursorY * 80 + screen.cursorX) {
        // The console's cursor: the lowest quarter of the cell, in the light grey of text.
        context.fillStyle = palette[7];
        context.fillRect(x, y + h - Math.round(h / 4), w, Math.round(h / 4));
      }
    },

    // Takes the canvas's size as it is now and paints every cell.
    paintAll: function() {
      var screen = tharvokScreen;
      var canvas = document.getElementById('screen');
      var context = canvas.getContext('2d');
      screen.width = Math.max(1, Math.floor(canvas.width / 80));
      screen.height = Math.max(1, Math.floor(canvas.height / 25));
      context.font = '100px "DejaVu Sans Mono", Consolas, Menlo, monospace';
      var metrics = context.measureText('\u2588');
      screen.scaleX = screen.width / metrics.width;
      screen.scaleY = screen.height / (metrics.fontBoundingBoxAscent +
                                       metrics.fontBoundingBoxDescent);
      screen.ascent = metrics.fontBoundingBoxAscent;
      screen.context = context;
      context.fillStyle = (Module['tharvokPalette'] || screen.palette)[0];
      context.fillRect(0, 0, canvas.width, canvas.height);
      for (var i = 0; i < 2000; ++i) {
        screen.paintCell(i);
      }
    },
  },

  tharvok_page_open__deps: ['$tharvokScreen'],
  tharvok_page_open: function() {
    var screen = tharvokScreen;
    screen.cells = new Uint32Array(4000);
    for (var i = 0; i < 2000; ++i) {
      screen.cells[2 * i + 1] = 32;
    }
    screen.cursorVisible = false;
    Module['tharvokRepaint'] = screen.paintAll;
    screen.paintAll();
    if (Module['tharvokOpened']) {
      Module['tharvokOpened']();
    }
  },

  tharvok_page_title: function(title) {
    document.title = UTF8ToString(title);
  },

  tharvok_page_draw__deps: ['$tharvokScreen'],
  tharvok_page_draw: function(cells, count, cursorX, cursorY, cursorVisible) {
    var screen = tharvokScreen;
    if (!Module['tharvokFirstFrameMs']) {
      Module['tharvokFirstFrameMs'] = performance.now();
    }
    screen.cursorX = cursorX;
    screen.cursorY = cursorY;
    screen.cursorVisible = cursorVisible !== 0;
    for (var i = 0; i < count; ++i) {
      var word = HEAPU32[(cells >> 2) + 2 * i];
      var index = word & 0xffff;
      screen.cells[2 * index] = word >> 16;
      screen.cells[2 * index + 1] = HEAPU32[(cells >> 2) + 2 * i + 1];
      screen.paintCell(index);
    }
    screen.nameScreen();
  },

  // The log is a polite live region: a screen reader reads each new line when it is idle. It
  // keeps the last few hundred lines.
  tharvok_page_say: function(sentence) {
    var log = document.getElementById('said');
    var line = document.createElement('p');
    line.textContent = UTF8ToString(sentence);
    log.appendChild(line);
    while (log.childElementCount > 300) {
      log.removeChild(log.firstElementChild);
    }
    log.scrollTop = log.scrollHeight;
  },

  // The page (shell.js) places the canvas so that this part of the screen shows.
  tharvok_page_view: function(x, y, width, height) {
    if (Module['tharvokShowView']) {
      Module['tharvokShowView'](x, y, width, height);
    }
  },

  tharvok_page_close: function(playAgain) {
    if (playAgain) {
      var line = document.getElementById('again');
      line.style.visibility = 'visible';
      line.querySelector('a').focus();
    }
  },
});
