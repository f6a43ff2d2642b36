'use strict';
// Holds the sources to the layers ARCHITECTURE.md draws, from their #include lines:
// - a core folder (src/<subsystem>/ and its plain subfolders) includes no Qt header and nothing
//   from a ui/ or qt/ folder, platform/ or browser/;
// - a qt/ folder (Qt without widgets) includes nothing from a ui/ folder or platform/;
// - no two folders include each other, directly or round a longer loop.
// A folder is the unit because every library is built from one folder (the tag reader and the
// scanner share theirs, and stand on the same side of every line).
// Usage: node layer_check.js SRC_DIR      exit 0 clean, 1 with one line per fault
//        node layer_check.js --self-test  builds small bad trees and expects each to fail
const fs = require('fs');
const os = require('os');
const path = require('path');

const ADAPTERS = new Set(['platform', 'browser']);

function kindOf(folder) {
    const parts = folder.split('/');
    if (ADAPTERS.has(parts[0]) || parts.includes('ui')) return 'ui';
    if (parts.includes('qt')) return 'qt';
    return 'core';
}

function listSources(dir, found = []) {
    for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
        const full = path.join(dir, entry.name);
        if (entry.isDirectory()) listSources(full, found);
        else if (/\.(h|cpp)$/.test(entry.name)) found.push(full);
    }
    return found;
}

function readIncludes(file) {
    const includes = [];
    const lines = fs.readFileSync(file, 'utf8').split('\n');
    lines.forEach((line, i) => {
        const m = /^\s*#\s*include\s*([<"])([^>"]+)[>"]/.exec(line);
        if (m) includes.push({ system: m[1] === '<', name: m[2], line: i + 1 });
    });
    return includes;
}

function isQtHeader(name) {
    return /^Q[A-Za-z]*(\/|$)/.test(name) && !name.includes('.');
}

// The faults of one included header for a file of `kind`.
function ruleFault(kind, include) {
    if (include.system) {
        return kind === 'core' && isQtHeader(include.name) ? 'a Qt header in core code' : null;
    }
    const target = path.posix.dirname(include.name);
    if (target === '.') return null;
    const targetKind = kindOf(target);
    if (kind === 'core' && targetKind !== 'core') return `a ${targetKind} header in core code`;
    if (kind === 'qt' && targetKind === 'ui') return 'a widget header in a qt/ library';
    return null;
}

// Every loop of the folder graph, as the folders of one strongly connected part (Tarjan).
function findLoops(edges) {
    const index = new Map(), low = new Map(), stack = [], onStack = new Set(), loops = [];
    let counter = 0;
    const visit = (v) => {
        index.set(v, counter); low.set(v, counter); counter++;
        stack.push(v); onStack.add(v);
        for (const w of edges.get(v) || []) {
            if (!index.has(w)) { visit(w); low.set(v, Math.min(low.get(v), low.get(w))); }
            else if (onStack.has(w)) low.set(v, Math.min(low.get(v), index.get(w)));
        }
        if (low.get(v) !== index.get(v)) return;
        const part = [];
        let w;
        do { w = stack.pop(); onStack.delete(w); part.push(w); } while (w !== v);
        if (part.length > 1) loops.push(part.sort());
    };
    for (const v of edges.keys()) if (!index.has(v)) visit(v);
    return loops;
}

function check(srcDir) {
    const faults = [];
    const edges = new Map();
    const witness = new Map(); // "from>to" -> the first file and line that draws the arrow
    for (const file of listSources(srcDir).sort()) {
        const relative = path.relative(srcDir, file).split(path.sep).join('/');
        const folder = path.posix.dirname(relative);
        // A program's main() stands above every layer of its folder.
        if (path.basename(file) === 'main.cpp') continue;
        const kind = kindOf(folder);
        for (const include of readIncludes(file)) {
            const fault = ruleFault(kind, include);
            if (fault) faults.push(`${relative}:${include.line}: ${fault}: ${include.name}`);
            if (include.system) continue;
            const target = path.posix.dirname(include.name);
            if (target === '.' || target === folder) continue;
            if (!edges.has(folder)) edges.set(folder, new Set());
            edges.get(folder).add(target);
            const key = `${folder}>${target}`;
            if (!witness.has(key)) witness.set(key, `${relative}:${include.line}`);
        }
    }
    for (const loop of findLoops(edges)) {
        const arrows = [];
        for (const from of loop) {
            for (const to of edges.get(from) || []) {
                if (loop.includes(to)) arrows.push(`${from} -> ${to} (${witness.get(`${from}>${to}`)})`);
            }
        }
        faults.push(`folders include each other: ${arrows.join(', ')}`);
    }
    return faults;
}

function selfTest() {
    const cases = [
        { 'index/A.h': '#include <QString>\n' },
        { 'index/A.h': '#include "index/ui/View.h"\n', 'index/ui/View.h': '' },
        { 'print/qt/P.h': '#include "print/ui/Dialog.h"\n', 'print/ui/Dialog.h': '' },
        { 'a/A.h': '#include "b/B.h"\n', 'b/B.h': '#include "c/C.h"\n', 'c/C.h': '#include "a/A.h"\n' },
    ];
    const clean = {
        'index/A.h': '#include <string>\n',
        'index/ui/V.h': '#include <QWidget>\n#include "index/A.h"\n',
        'app/main.cpp': '#include "index/ui/V.h"\n',
    };
    const run = (tree) => {
        const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'layer_check_'));
        for (const [name, text] of Object.entries(tree)) {
            fs.mkdirSync(path.dirname(path.join(dir, name)), { recursive: true });
            fs.writeFileSync(path.join(dir, name), text);
        }
        const faults = check(dir);
        fs.rmSync(dir, { recursive: true });
        return faults;
    };
    let failed = 0;
    cases.forEach((tree, i) => {
        if (run(tree).length === 0) { console.log(`self-test: bad tree ${i} passed`); failed++; }
    });
    const cleanFaults = run(clean);
    if (cleanFaults.length) { console.log(`self-test: clean tree failed: ${cleanFaults}`); failed++; }
    return failed;
}

if (process.argv[2] === '--self-test') {
    process.exit(selfTest() ? 1 : 0);
}
const faults = check(process.argv[2]);
for (const fault of faults) console.log(fault);
process.exit(faults.length ? 1 : 0);
