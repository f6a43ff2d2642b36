#!/usr/bin/env node
// The reference resolution: each input line is "BASE<TAB>HREF" (escaped as JSON strings);
// each output line is `new URL(href, base).href`, or "FAIL" where it throws.
'use strict';
const fs = require('fs');
const out = [];
for (const line of fs.readFileSync(0, 'utf8').split('\n')) {
  if (!line) continue;
  const [base, href] = JSON.parse(line);
  try {
    out.push(new URL(href, base).href);
  } catch (e) {
    out.push('FAIL');
  }
}
fs.writeFileSync(1, out.join('\n') + '\n');
