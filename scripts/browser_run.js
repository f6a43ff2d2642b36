// Runs a function body in headless Chromium and returns the text it returns: the page
// writes it into its body, and --dump-dom hands the body back.
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

function runInBrowser(body) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'browser-run-'));
  try {
    const page = path.join(dir, 'run.html');
    const script = `(function () { ${body} })()`;
    fs.writeFileSync(page, '<!doctype html><meta charset=utf-8><body><script>' +
      'let text; try { text = ' + script + '; } catch (e) { text = "ERROR " + e; }' +
      'document.body.textContent = "@@BEGIN@@" + text + "@@END@@";</script>');
    const dom = execFileSync('chromium', ['--headless', '--no-sandbox', '--disable-gpu',
      '--user-data-dir=' + path.join(dir, 'profile'), '--dump-dom', 'file://' + page],
    { maxBuffer: 1 << 30, stdio: ['ignore', 'pipe', 'ignore'] }).toString('utf8');
    const begin = dom.indexOf('@@BEGIN@@');
    const end = dom.indexOf('@@END@@');
    if (begin < 0 || end < 0) throw new Error('the browser gave nothing back');
    const text = dom.slice(begin + 9, end)
      .replace(/&lt;/g, '<').replace(/&gt;/g, '>').replace(/&quot;/g, '"').replace(/&nbsp;/g, '\u00a0')
      .replace(/&amp;/g, '&');
    if (text.startsWith('ERROR ')) throw new Error(text);
    return text;
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

module.exports = { runInBrowser };
