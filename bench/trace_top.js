// node bench/trace_top.js FILE.json [N]: the N (25) kinds of event of a chromium trace
// (fulltext_query.js TRACE=FILE) that took the renderer's main thread longest, by the time
// they took themselves (less the events inside them), in ms, and how many there were.
'use strict';
const fs = require('fs');

const [file, many] = process.argv.slice(2);
const trace = JSON.parse(fs.readFileSync(file, 'utf8'));
const events = trace.traceEvents || trace;
const main = new Set(events.filter((e) => e.name === 'thread_name' && e.args.name === 'CrRendererMain')
    .map((e) => `${e.pid}:${e.tid}`));
const spans = events.filter((e) => e.ph === 'X' && main.has(`${e.pid}:${e.tid}`) && e.dur > 0)
    .sort((a, b) => a.ts - b.ts || b.dur - a.dur);
const self = new Map();
const count = new Map();
const open = [];
for (const e of spans) {
    while (open.length && open[open.length - 1].ts + open[open.length - 1].dur <= e.ts) open.pop();
    const parent = open[open.length - 1];
    if (parent) self.set(parent.name, (self.get(parent.name) || 0) - e.dur);
    self.set(e.name, (self.get(e.name) || 0) + e.dur);
    count.set(e.name, (count.get(e.name) || 0) + 1);
    open.push(e);
}
const top = Array.from(self).sort((a, b) => b[1] - a[1]).slice(0, Number(many) || 25);
for (const [name, us] of top) {
    console.log(`${(us / 1000).toFixed(1).padStart(9)} ms ${String(count.get(name)).padStart(6)}x  ${name}`);
}
