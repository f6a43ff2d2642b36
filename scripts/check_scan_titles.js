#!/usr/bin/env node
// Holds the titles a scan wrote against a browser's reading of the pages: for every entry
// of `tamblin-cli export --json` whose page is a local file, the page's <title> decoded by
// TextDecoder with the charset the page declares (byte-order mark, else meta), white space
// folded, the common character references decoded. Prints the pages compared and those
// that differ; exits 1 when any does.
//   tamblin-cli export INDEX.xo --json | node scripts/check_scan_titles.js SITE_DIR
'use strict';
const fs = require('fs');
const path = require('path');

const siteDir = process.argv[2];
const index = JSON.parse(fs.readFileSync(0, 'utf8'));

function declared(bytes) {
  if (bytes[0] === 0xef && bytes[1] === 0xbb && bytes[2] === 0xbf) return 'utf-8';
  if (bytes[0] === 0xff && bytes[1] === 0xfe) return 'utf-16le';
  if (bytes[0] === 0xfe && bytes[1] === 0xff) return 'utf-16be';
  const head = bytes.subarray(0, 1024).toString('latin1');
  const match = /<meta[^>]*charset\s*=\s*["']?([^"'\s;>]+)/i.exec(head);
  return match ? match[1] : null;
}

function entities(text) {
  const named = { amp: '&', lt: '<', gt: '>', quot: '"', apos: "'", nbsp: '\u00a0' };
  return text.replace(/&(#x[0-9a-f]+|#[0-9]+|[a-z]+);/gi, (all, name) => {
    if (name[0] === '#') {
      const n = name[1] === 'x' || name[1] === 'X' ? parseInt(name.slice(2), 16) : parseInt(name.slice(1), 10);
      return String.fromCodePoint(n);
    }
    return named[name.toLowerCase()] ?? all;
  });
}

function titleOf(file) {
  const bytes = fs.readFileSync(file);
  let label = declared(bytes) || 'utf-8';
  let decoder;
  try {
    decoder = new TextDecoder(label);
  } catch (e) {
    decoder = new TextDecoder('windows-1252');
    label = 'windows-1252';
  }
  const text = decoder.decode(bytes);
  const match = /<title[^>]*>([\s\S]*?)<\/title>/i.exec(text);
  if (!match) return null;
  // Named references beyond the common few are the entity table's business, not the
  // decoder's: such titles are counted apart.
  if (/&(?!(amp|lt|gt|quot|apos|nbsp|#)[;a-z0-9]*;)[a-z]+[0-9]*;/i.test(match[1])) return { skipped: true };
  return { label, title: entities(match[1]).replace(/[\s\u00a0]+/g, ' ').replace(/;/g, '').trim() };
}

const seen = new Set();
let compared = 0;
let skipped = 0;
const differ = [];
function walk(entries) {
  for (const entry of entries) {
    walk(entry.children || []);
    const url = (entry.fullUrl || '').split('#')[0].split('?')[0];
    if (!/\.html?(\.[a-z-]+)?$/i.test(url) || /^[a-z]+:/i.test(url) || seen.has(url)) continue;
    seen.add(url);
    const file = path.isAbsolute(url) ? url : path.join(siteDir, url);
    if (!fs.existsSync(file)) continue;
    const page = titleOf(file);
    if (page && page.skipped) {
      ++skipped;
      continue;
    }
    if (!page || !page.title) continue;
    ++compared;
    if (page.title.replace(/\u00a0/g, ' ') !== entry.title.replace(/\u00a0/g, ' ')) {
      differ.push(`${url} (${page.label}): index "${entry.title}", browser "${page.title}"`);
    }
  }
}
walk(index.contents || []);
console.log(`${compared} pages compared, ${differ.length} differ (${skipped} with other named references left out)`);
for (const line of differ.slice(0, 20)) console.log('  ' + line);
process.exit(differ.length ? 1 : 0);
