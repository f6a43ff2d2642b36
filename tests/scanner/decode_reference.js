#!/usr/bin/env node
// The reference decoding, a browser's: each input line is "LABEL HEX"; each output line is
// the hex of the UTF-8 that headless Chromium's TextDecoder makes of those bytes
// (byte-order marks kept).
'use strict';
const fs = require('fs');
const path = require('path');
const { runInBrowser } = require(path.join(__dirname, '../../scripts/browser_run.js'));

const lines = fs.readFileSync(0, 'latin1').split('\n').filter((line) => line);
const body = `
  const lines = ${JSON.stringify(lines)};
  const encoder = new TextEncoder();
  const hex = (bytes) => Array.from(bytes, (b) => b.toString(16).padStart(2, '0')).join('');
  return lines.map((line) => {
    const [label, text] = line.split(' ');
    // A fresh decoder each time: one of the browser's keeps state past a flush.
    const bytes = new Uint8Array((text || '').length / 2);
    for (let i = 0; i < bytes.length; ++i) bytes[i] = parseInt(text.substr(2 * i, 2), 16);
    return hex(encoder.encode(new TextDecoder(label, { ignoreBOM: true }).decode(bytes)));
  }).join('\\n');`;
fs.writeFileSync(1, runInBrowser(body) + '\n');
