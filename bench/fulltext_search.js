// node bench/fulltext_search.js SITE.xo WORD...: the pages the viewer's Search tab lists for
// each word searched whole (not as the start of a longer one), best first, as JSON lines
// {word, pages: [{url, title}]}. Reads the search index as the viewer does, without a DOM.
'use strict';
const fs = require('fs');
const path = require('path');

const nv = require(path.join(__dirname, '..', 'src', 'webviewer', 'navora-web.js'));
const [index, ...words] = process.argv.slice(2);
const folder = `${index}.search`;

function loader(name) {
    const script = fs.readFileSync(path.join(folder, `${name}.js`), 'latin1');
    const data = nv.searchPartBase64(script);
    if (data === null) return Promise.reject(new Error(`${name}: not a part`));
    return Promise.resolve(new Uint8Array(Buffer.from(data, 'base64')));
}

async function main() {
    const search = new nv.SearchIndex(loader);
    if (!(await search.open())) throw new Error('not a search index');
    for (const word of words) {
        // A space after the word: searched whole.
        const found = await search.search(`${word} `);
        const pages = [];
        for (const r of found.results) {
            const page = await search.page(r.page);
            const inTitle = r.lists.every((l) => {
                const i = l.pages.indexOf(r.page);
                return i >= 0 && (l.values[i] & 1) === 1;
            });
            pages.push({ url: page.url, title: page.title, inTitle });
        }
        console.log(JSON.stringify({ word, pages }));
    }
}

main().catch((e) => {
    console.error(e);
    process.exit(1);
});
