#include "searchpage/SidePageText.h"

namespace tamblin {

namespace {

// The viewer sizes itself from the applet's WIDTH and HEIGHT; in the sidebar it fills
// what is there instead. Class names beginning "nv-" are the viewer's own.
constexpr const char* kStyle = R"(<STYLE>
html, body { height: 100%; margin: 0; }
body { display: flex; overflow: hidden; }
#nv-side { flex: none; box-sizing: border-box; min-width: 160px; max-width: calc(100% - 160px);
  display: flex; flex-direction: column; overflow: hidden; background: inherit; }
#nv-side h1 { font-size: 1.1em; margin: 8px; }
#nv-side .nv-viewer { flex: 1 1 auto; width: auto !important; height: auto !important;
  min-height: 0; margin: 0 4px; }
#nv-side p { margin: 4px 8px; font-size: small; }
#nv-splitter { flex: none; width: 8px; cursor: col-resize; touch-action: none;
  background: #bbb; border-left: 1px solid #888; border-right: 1px solid #888; }
#nv-splitter:focus-visible { outline: 3px solid #1a5fb4; outline-offset: -3px; }
#nv-pages { flex: 1 1 auto; min-width: 0; height: 100%; border: 0; background: #fff; }
#nv-show { display: none; }
@media (max-width: 600px) {
  #nv-side { position: fixed; inset: 0; z-index: 2; max-width: none; width: auto !important;
    visibility: hidden; padding-top: 56px; }
  body.nv-side-open #nv-side { visibility: visible; }
  #nv-splitter { display: none; }
  #nv-show { display: block; position: fixed; top: 6px; right: 6px; z-index: 3;
    min-width: 44px; min-height: 44px; font-size: 16px; }
}
</STYLE>
)";

// Resizing the sidebar, and the phone's button. The window's resize event tells the
// viewer to lay its rows out again.
constexpr const char* kScript = R"(<SCRIPT>
(function () {
  var side = document.getElementById('nv-side');
  var bar = document.getElementById('nv-splitter');
  var frame = document.getElementById('nv-pages');
  var show = document.getElementById('nv-show');
  var least = 160;
  function setWidth(px) {
    var most = Math.max(least, window.innerWidth - least);
    px = Math.round(Math.min(Math.max(px, least), most));
    side.style.width = px + 'px';
    bar.setAttribute('aria-valuenow', String(px));
    bar.setAttribute('aria-valuemax', String(most));
    window.dispatchEvent(new Event('resize'));
  }
  bar.addEventListener('pointerdown', function (e) {
    var move = function (ev) { setWidth(ev.clientX); };
    var end = function () {
      bar.removeEventListener('pointermove', move);
      bar.removeEventListener('pointerup', end);
      bar.removeEventListener('pointercancel', end);
      frame.style.pointerEvents = '';
    };
    bar.setPointerCapture(e.pointerId);
    frame.style.pointerEvents = 'none';
    bar.addEventListener('pointermove', move);
    bar.addEventListener('pointerup', end);
    bar.addEventListener('pointercancel', end);
    e.preventDefault();
  });
  bar.addEventListener('keydown', function (e) {
    var now = side.getBoundingClientRect().width, step = e.shiftKey ? 80 : 16;
    if (e.key === 'ArrowLeft') setWidth(now - step);
    else if (e.key === 'ArrowRight') setWidth(now + step);
    else if (e.key === 'Home') setWidth(least);
    else if (e.key === 'End') setWidth(window.innerWidth);
    else return;
    e.preventDefault();
  });
  function setOpen(open) {
    document.body.classList.toggle('nv-side-open', open);
    show.setAttribute('aria-expanded', open ? 'true' : 'false');
  }
  show.addEventListener('click', function () {
    setOpen(!document.body.classList.contains('nv-side-open'));
  });
  document.addEventListener('keydown', function (e) {
    if (e.key === 'Escape' && getComputedStyle(show).display !== 'none') setOpen(false);
  });
  // A page chosen in the sidebar closes it on a phone; the empty frame's first load does not.
  frame.addEventListener('load', function () {
    var blank = false;
    try { blank = frame.contentWindow.location.href === 'about:blank'; } catch (e) {}
    if (!blank) setOpen(false);
  });
  setOpen(true);
  setWidth(side.getBoundingClientRect().width);
})();
</SCRIPT>
)";

} // namespace

std::string SidePageText(const std::string& background, const std::string& applet,
                         const std::string& homeLink, const std::string& frame, int sidebarWidth) {
    std::string width = std::to_string(sidebarWidth);
    std::string page = "<!DOCTYPE html>\n<HTML>\n<HEAD>\n<TITLE>Navora Search Page</TITLE>\n"
                       "<META NAME=\"viewport\" CONTENT=\"width=device-width, initial-scale=1\">\n";
    page += kStyle;
    page += "</HEAD>\n<BODY BGCOLOR=" + background + ">\n";
    page += "<DIV ID=\"nv-side\" STYLE=\"width: " + width + "px\">\n<H1>Navora Search Page</H1>\n";
    page += applet;
    page += "<P>" + homeLink + "</P>\n</DIV>\n";
    page +=
        "<DIV ID=\"nv-splitter\" ROLE=\"separator\" TABINDEX=\"0\" ARIA-ORIENTATION=\"vertical\" "
        "ARIA-CONTROLS=\"nv-side\" ARIA-LABEL=\"Width of the contents\" "
        "ARIA-VALUEMIN=\"160\" ARIA-VALUENOW=\"" +
        width + "\"></DIV>\n";
    page += "<IFRAME ID=\"nv-pages\" NAME=\"" + frame + "\" TITLE=\"Page\"></IFRAME>\n";
    page += "<BUTTON ID=\"nv-show\" TYPE=\"button\" ARIA-CONTROLS=\"nv-side\" "
            "ARIA-EXPANDED=\"true\">Contents</BUTTON>\n";
    page += kScript;
    page += "</BODY>\n</HTML>\n";
    return page;
}

} // namespace tamblin
