// Renders the Markdown export with markdown-it (raw HTML and link detection
// on, as common hosts have them) and opens the result in the system's
// chromium from the capture folder: the title, every step's heading and
// further lines, each picture loaded with its sentence as alt text, and
// nothing in a sentence turned into a link, markup, a list or a script.
//   node check-markdown.mjs FOLDER...   (each holds manual.md and expected.json)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {pathToFileURL} from 'node:url';
import MarkdownIt from 'markdown-it';
import puppeteer from 'puppeteer-core';

let failures = 0;
function check(ok, what) {
    if (!ok) {
        failures++;
        console.log('FAIL markdown: ' + what);
    }
}

async function checkMarkdown(browser, folder) {
    const expected = JSON.parse(fs.readFileSync(path.join(folder, 'expected.json'), 'utf8'));
    const source = fs.readFileSync(path.join(folder, 'manual.md'), 'utf8');
    const body = new MarkdownIt({html: true, linkify: true}).render(source);
    const file = path.join(folder, 'markdown.html');
    fs.writeFileSync(file, `<!DOCTYPE html><html lang="ja"><meta charset="utf-8"><body>${body}</body></html>`);

    const page = await browser.newPage();
    page.on('pageerror', (e) => check(false, 'script error: ' + e.message));
    await page.goto(pathToFileURL(file).href, {waitUntil: 'load'});
    const got = await page.evaluate(() => ({
        h1: [...document.querySelectorAll('h1')].map((h) => h.textContent),
        h2: [...document.querySelectorAll('h2')].map((h) => h.textContent),
        paragraphs: [...document.querySelectorAll('p')].map((p) => p.innerText),
        images: [...document.querySelectorAll('img')].map((i) => ({
            alt: i.getAttribute('alt'), src: decodeURIComponent(i.getAttribute('src')),
            loaded: i.complete && i.naturalWidth > 0})),
        markup: [...document.querySelectorAll('a, script, [onerror], ul, ol, blockquote, code, em, strong, del, table, hr')]
            .map((e) => e.tagName),
    }));
    check(got.h1.length === 1 && got.h1[0] === expected.title, `title "${expected.title}", got ${JSON.stringify(got.h1)}`);
    check(got.paragraphs[0] === expected.date, `date "${expected.date}", got "${got.paragraphs[0]}"`);
    check(got.h2.length === expected.steps.length, `${expected.steps.length} step headings, got ${got.h2.length}`);
    expected.steps.forEach((want, k) => {
        check(got.h2[k] === want.heading.trim(), `step ${k + 1}: heading "${want.heading}", got "${got.h2[k]}"`);
        if (want.more) check(got.paragraphs.includes(want.more), `step ${k + 1}: further lines "${want.more}"`);
    });
    const pictures = expected.steps.filter((s) => s.image);
    check(got.images.length === pictures.length, `${pictures.length} pictures, got ${got.images.length}`);
    pictures.forEach((want, k) => {
        const img = got.images[k] || {};
        check(img.src === want.image && img.loaded, `picture ${want.image} loads from the folder, got ${img.src} (${img.loaded})`);
        check(img.alt === want.alt, `picture ${k + 1}: alt "${want.alt}", got "${img.alt}"`);
    });
    check(got.markup.length === 0, 'sentences stay text, found ' + got.markup.join(' '));
    await page.close();
}

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'klavoro-chromium-'));
const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
try {
    for (const arg of process.argv.slice(2)) {
        try {
            await checkMarkdown(browser, path.resolve(arg));
        } catch (e) {
            check(false, 'stopped: ' + e.message);
        }
    }
} finally {
    await browser.close();
    fs.rmSync(profile, {recursive: true, force: true});
}
console.log(`markdown: ${failures} failed`);
process.exit(failures ? 1 : 0);
