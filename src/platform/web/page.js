// The page's side of the browser back end (an Emscripten JavaScript library): paints the
// console's cells on the canvas #screen, sets the page's title, adds what the game says to the
// log #said, and shows the line #again when the game is over.
mergeInto(LibraryManager.library, {
  $tharvokScreen: {
    // The console's sixteen colours.
    palette: ['#000000', '#000080', '#008000', '#008080', '#800000', '#800080', '#808000',
              '#c0c0c0', '#808080', '#0000ff', '#00ff00', '#00ffff', '#ff0000', '#ff00ff',
              '#ffff00', '#ffffff'],
    cellWidth: 10,
    cellHeight: 20,
    context: null,
    // The font is stretched so that a glyph fills its cell: box lines meet.
    scaleX: 1,
    scaleY: 1,
    ascent: 0,
  },

  tharvok_page_open__deps: ['$tharvokScreen'],
  tharvok_page_open: function() {
    var screen = tharvokScreen;
    var canvas = document.getElementById('screen');
    var ratio = window.devicePixelRatio || 1;
    canvas.width = Math.round(80 * screen.cellWidth * ratio);
    canvas.height = Math.round(25 * screen.cellHeight * ratio);
    var context = canvas.getContext('2d');
    context.font = '100px "DejaVu Sans Mono", Consolas, Menlo, monospace';
    var metrics = context.measureText('\u2588');
    var height = metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent;
    screen.scaleX = screen.cellWidth / metrics.width;
    screen.scaleY = screen.cellHeight / height;
    screen.ascent = metrics.fontBoundingBoxAscent;
    context.scale(ratio, ratio);
    context.fillStyle = screen.palette[0];
    context.fillRect(0, 0, 80 * screen.cellWidth, 25 * screen.cellHeight);
    screen.context = context;
  },

  tharvok_page_title: function(title) {
    document.title = UTF8ToString(title);
  },

  tharvok_page_draw__deps: ['$tharvokScreen'],
  tharvok_page_draw: function(cells, count, cursorX, cursorY, cursorVisible) {
    var screen = tharvokScreen;
    var context = screen.context;
    var w = screen.cellWidth;
    var h = screen.cellHeight;
    for (var i = 0; i < count; ++i) {
      var word = HEAPU32[(cells >> 2) + 2 * i];
      var codePoint = HEAPU32[(cells >> 2) + 2 * i + 1];
      var index = word & 0xffff;
      var attribute = word >> 16;
      var x = (index % 80) * w;
      var y = Math.floor(index / 80) * h;
      context.save();
      context.beginPath();
      context.rect(x, y, w, h);
      context.clip();
      context.fillStyle = screen.palette[(attribute >> 4) & 15];
      context.fillRect(x, y, w, h);
      if (codePoint !== 32) {
        context.fillStyle = screen.palette[attribute & 15];
        context.translate(x, y);
        context.scale(screen.scaleX, screen.scaleY);
        context.fillText(String.fromCodePoint(codePoint), 0, screen.ascent);
      }
      context.restore();
    }
    if (cursorVisible) {
      // The console's cursor: the lowest quarter of the cell, in the light grey of text.
      context.fillStyle = screen.palette[7];
      context.fillRect(cursorX * w, (cursorY + 1) * h - h / 4, w, h / 4);
    }
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

  tharvok_page_close: function(playAgain) {
    if (playAgain) {
      var line = document.getElementById('again');
      line.style.visibility = 'visible';
      line.querySelector('a').focus();
    }
  },
});
