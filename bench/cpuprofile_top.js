// node bench/cpuprofile_top.js FILE.cpuprofile [N]: the N (25) functions of a CPU profile
// that took the most time themselves, and the time of each with what it called, in ms.
'use strict';
const fs = require('fs');

const [file, many] = process.argv.slice(2);
const profile = JSON.parse(fs.readFileSync(file, 'utf8'));
const byId = new Map(profile.nodes.map((n) => [n.id, n]));
const self = new Map();
for (let i = 0; i < profile.samples.length; i += 1) {
    const id = profile.samples[i];
    self.set(id, (self.get(id) || 0) + (profile.timeDeltas[i] || 0) / 1000);
}
const parent = new Map();
for (const n of profile.nodes) for (const c of n.children || []) parent.set(c, n.id);
const name = (n) => {
    const f = n.callFrame;
    return `${f.functionName || '(anonymous)'} ${f.url.replace(/^.*\//, '')}:${f.lineNumber + 1}`;
};
const selfByName = new Map();
const totalByName = new Map();
for (const [id, ms] of self) {
    const n = byId.get(id);
    selfByName.set(name(n), (selfByName.get(name(n)) || 0) + ms);
    // Each name once per stack, so that recursion counts once.
    const seen = new Set();
    for (let at = id; at !== undefined; at = parent.get(at)) {
        const k = name(byId.get(at));
        if (seen.has(k)) continue;
        seen.add(k);
        totalByName.set(k, (totalByName.get(k) || 0) + ms);
    }
}
const all = [...self.values()].reduce((a, b) => a + b, 0);
console.log(`sampled ${all.toFixed(0)} ms`);
const top = [...selfByName].sort((a, b) => b[1] - a[1]).slice(0, Number(many || 25));
for (const [k, ms] of top) {
    console.log(`${ms.toFixed(1).padStart(8)} self ${(totalByName.get(k) || 0).toFixed(1).padStart(8)} total  ${k}`);
}
