// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/reports/FormStyle.h"

#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

namespace edlt::ui {
namespace {

// Runs once the page's elements exist, before it is shown as loaded.
const char* formScript = R"js(
(function () {
  // Arial by the faces of Liberation Sans, whatever the font configuration says.
  var faces = [['', 'normal', 'normal'], [' Bold', 'bold', 'normal'], [' Italic', 'normal', 'italic'],
               [' Bold Italic', 'bold', 'italic']];
  var css = '';
  ['Arial', 'Arial Greek'].forEach(function (family) {
    faces.forEach(function (f) {
      css += '@font-face{font-family:"' + family + '";font-weight:' + f[1] + ';font-style:' + f[2] +
             ';src:local("Liberation Sans' + f[0] + '"),local("LiberationSans' +
             (f[0] ? '-' + f[0].replace(/ /g, '') : '') + '");}\n';
    });
  });
  css += '.edlt-rotated{display:inline-block;writing-mode:vertical-rl;transform:rotate(180deg)}\n';
  css += '.edlt-fit{display:inline-block;white-space:nowrap}\n';
  // A spreadsheet program keeps a run of blanks the page marks mso-spacerun (the three
  // before "Διεύθυνση" clear the box drawn after "Είδος επιχείρησης").
  css += 'span[style*="mso-spacerun"]{white-space:pre}\n';
  var style = document.createElement('style');
  style.id = 'edlt-form-style';
  style.textContent = css;
  document.head.appendChild(style);

  function wrap(cell, cls) {
    var span = document.createElement('span');
    span.className = cls;
    while (cell.firstChild) span.appendChild(cell.firstChild);
    cell.appendChild(span);
    return span;
  }

  // The classes a spreadsheet program turns (mso-rotate:90, read upwards): only the page's
  // own style text names them, the browser drops the property.
  var rotated = {};
  Array.prototype.forEach.call(document.querySelectorAll('style'), function (s) {
    var rule = /\.([\w-]+)\s*\{[^}]*mso-rotate:\s*90\s*;/g, m;
    while ((m = rule.exec(s.textContent)) !== null) rotated[m[1]] = true;
  });
  // A turned title wraps within the height its rows were given.
  Array.prototype.forEach.call(document.querySelectorAll('td'), function (cell) {
    for (var i = 0; i < cell.classList.length; ++i) {
      if (!rotated[cell.classList[i]]) continue;
      var height = 0, rows = cell.rowSpan;
      for (var row = cell.parentElement; row && rows > 0; row = row.nextElementSibling, --rows)
        height += parseFloat(row.getAttribute('height')) || 0;
      var span = wrap(cell, 'edlt-rotated');
      if (height > 4) span.style.height = (height - 4) + 'px';
      return;
    }
  });

  // The drawn pictures (a box, the braces) keep to the cell they stand in: a brace
  // brackets the rows of its cell and no further, whatever height the rows were given.
  function fitPictures() {
    Array.prototype.forEach.call(document.querySelectorAll('span[style*="vglayout"] > img'), function (img) {
      var span = img.parentElement, cell = span.closest('td');
      if (!cell) return;
      var room = cell.getBoundingClientRect().bottom - img.getBoundingClientRect().top - 1;
      if (room > 0 && img.getBoundingClientRect().height > room) {
        img.style.height = room + 'px';
        span.style.height = room + 'px';
      }
    });
  }

  function filled(cell) {
    return cell && cell.textContent.replace(/\u00a0/g, ' ').trim() !== '';
  }

  // Numbers keep to their cells, and so does a caption beside a filled cell (where a
  // spreadsheet program would cut it): a wider one is drawn smaller.
  function fitNumbers() {
    Array.prototype.forEach.call(document.querySelectorAll('td'), function (cell) {
      var text = cell.textContent.replace(/\u00a0/g, ' ').trim();
      var cs = getComputedStyle(cell);
      var number = /^-?[0-9][0-9.,]*$/.test(text);
      // A caption also clears the borders on both sides.
      var room = cell.clientWidth - parseFloat(cs.paddingLeft) - parseFloat(cs.paddingRight) - (number ? 2 : 5);
      if (!number) {
        if (!text || cs.whiteSpace !== 'nowrap' || cell.querySelector('img, table, span.edlt-rotated') ||
            !filled(cell.nextElementSibling))
          return;
        var range = document.createRange();
        range.selectNodeContents(cell);
        var inside = cell.getBoundingClientRect(), drawn = range.getBoundingClientRect();
        if (drawn.left >= inside.left + 2 && drawn.right <= inside.right - 2) return;
      }
      var span = wrap(cell, 'edlt-fit');
      var width = span.getBoundingClientRect().width;
      if (room > 0 && width > room)
        span.style.fontSize = (parseFloat(cs.fontSize) * room / width).toFixed(2) + 'px';
    });
  }
  function fit() {
    fitNumbers();
    fitPictures();
  }
  if (document.fonts && document.fonts.ready) document.fonts.ready.then(fit); else fit();
})();
)js";

}  // namespace

void addFormStyle(QWebEngineView* view)
{
    QWebEngineScript script;
    script.setName("edlt-form-style");
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(QString::fromUtf8(formScript));
    view->page()->scripts().insert(script);
}

}  // namespace edlt::ui
