// Opens an exported manual in the system's chromium and checks what a reader
// meets: no script errors, the title, every step with its number and text,
// the images with their alt text, the light-box in thumbnail style, the print
// style, and no accessibility violation that axe-core rates serious or
// critical.
//   node check-manual.mjs FOLDER...   (each holds index.htm and expected.json)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {createRequire} from 'node:module';
import {pathToFileURL} from 'node:url';
import puppeteer from 'puppeteer-core';

const axeSource = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

let failures = [];
let checks = 0;
function check(ok, what) {
    checks++;
    if (!ok) failures.push(what);
}
const plain = (s) => s.replace(/\u00a0/g, ' ').trim();

async function checkManual(browser, folder) {
    const expected = JSON.parse(fs.readFileSync(path.join(folder, 'expected.json'), 'utf8'));
    // Notes (.txt steps) are left out of the page.
    const steps = expected.steps.filter((s) => !s.note);
    const page = await browser.newPage();
    await page.setViewport({width: 1200, height: 900});
    const errors = [];
    page.on('pageerror', (e) => errors.push('script error: ' + e.message));
    page.on('console', (m) => { if (m.type() === 'error') errors.push('console: ' + m.text()); });
    page.on('dialog', async (d) => { errors.push('dialog: ' + d.message()); await d.dismiss(); });
    page.on('requestfailed', (r) => errors.push('failed: ' + decodeURIComponent(r.url())));

    await page.goto(pathToFileURL(path.join(folder, 'index.htm')).href, {waitUntil: 'load'});
    check(await page.evaluate(() => document.characterSet) === 'Shift_JIS', 'page read as Shift_JIS');
    check(await page.evaluate(() => typeof window.pwned === 'undefined'), 'no injected script ran');
    check(await page.evaluate(() => document.querySelectorAll('#items script, #items [onerror]').length === 0),
          'no markup from names or sentences');
    const heading = await page.evaluate(() => ({
        title: document.title, h1: document.querySelector('#menu h1')?.textContent,
        date: document.querySelector('#menu .date')?.textContent}));
    check(heading.title === expected.title && heading.h1 === expected.title,
          `title and heading "${expected.title}", got "${heading.title}" / "${heading.h1}"`);
    check(heading.date === expected.date, `date "${expected.date}", got "${heading.date}"`);

    const shown = await page.$$eval('#items .step', (steps) => steps.map((s) => ({
        no: s.querySelector('.no')?.textContent ?? '',
        text: s.querySelector('.headding')?.innerText ?? '',
        images: [...s.querySelectorAll('img:not(.missing)')].map((i) => ({
            src: decodeURIComponent(i.getAttribute('src')), loaded: i.complete && i.naturalWidth > 0,
            alt: i.getAttribute('alt'),
            width: i.naturalWidth, border: getComputedStyle(i).borderTopStyle + ' ' +
                getComputedStyle(i).borderTopWidth + ' ' + getComputedStyle(i).borderTopColor,
            href: i.closest('a') ? decodeURIComponent(i.closest('a').getAttribute('href')) : null})),
        visible: s.getBoundingClientRect().height > 0,
    })));
    check(shown.length === steps.length, `${steps.length} steps shown, got ${shown.length}`);
    steps.forEach((want, k) => {
        const got = shown[k] || {no: '', text: '', images: []};
        check(plain(got.no) === plain(want.no), `step ${k + 1}: number "${want.no}", got "${got.no}"`);
        check(plain(got.text) === plain(want.text), `step ${k + 1}: text "${want.text}", got "${got.text}"`);
        check(got.visible, `step ${k + 1} visible`);
        if (!want.image) {
            check(got.images.length === 0, `step ${k + 1}: no image`);
            return;
        }
        const img = got.images[0];
        check(!!img && img.loaded, `step ${k + 1}: image loaded`);
        if (!img) return;
        check(img.alt === want.alt, `step ${k + 1}: alt "${want.alt}", got "${img.alt}"`);
        check(img.border === 'solid 3px rgb(0, 128, 128)', `step ${k + 1}: border from the settings, got ${img.border}`);
        if (expected.thumbnails) {
            check(img.href === want.image, `step ${k + 1}: links ${want.image}, got ${img.href}`);
            check(img.src.startsWith('Thumb/Thumb_') && img.width <= 240, `step ${k + 1}: thumbnail ${img.src}`);
        } else {
            check(img.src === want.image && img.width === want.width, `step ${k + 1}: full image ${img.src}`);
        }
    });

    if (expected.thumbnails) {
        const withImages = steps.filter((s) => s.image);
        const overlayShown = () => page.evaluate(() => {
            const o = document.getElementById('fancybox-overlay');
            return !!o && getComputedStyle(o).display !== 'none';
        });
        const boxImage = async () => {
            await page.waitForFunction(() => {
                const i = document.querySelector('.fancybox-image');
                return i && i.complete && i.naturalWidth > 0;
            }, {timeout: 5000});
            return page.$eval('.fancybox-image', (i) => ({
                src: decodeURIComponent(i.getAttribute('src')), width: i.naturalWidth}));
        };
        await page.click('#items a.fancybox');
        check(await overlayShown(), 'a click on a thumbnail opens the light-box');
        let big = await boxImage();
        check(big.src === withImages[0].image && big.width === withImages[0].width,
              `light-box shows the full image ${withImages[0].image}, got ${big.src} (${big.width})`);
        check(page.url().endsWith('index.htm'), 'the page stays');
        await page.keyboard.press('ArrowRight');
        big = await boxImage();
        check(big.src === withImages[1].image, `arrow right shows ${withImages[1].image}, got ${big.src}`);
        await page.keyboard.press('ArrowLeft');
        big = await boxImage();
        check(big.src === withImages[0].image, 'arrow left goes back');
        await page.keyboard.press('Escape');
        check(!(await overlayShown()), 'Esc closes the light-box');
        const links = await page.$$('#items a.fancybox');
        await links[links.length - 1].click();
        big = await boxImage();
        check(big.src === withImages[withImages.length - 1].image, 'the last thumbnail opens its own image');
        await page.mouse.click(4, 4);
        check(!(await overlayShown()), 'a click outside the image closes the light-box');
    }

    await page.addScriptTag({content: axeSource});
    const axe = await page.evaluate(async () => {
        // No preload: its requests for the style sheets are refused on file: pages.
        const r = await window.axe.run(document, {resultTypes: ['violations'], preload: false});
        return r.violations.map((v) => ({id: v.id, impact: v.impact, nodes: v.nodes.length}));
    });
    for (const v of axe) {
        const serious = v.impact === 'serious' || v.impact === 'critical';
        if (!serious) console.log(`note: axe ${v.id} (${v.impact}) on ${v.nodes} elements`);
        check(!serious, `axe: ${v.id} (${v.impact}) on ${v.nodes} elements`);
    }

    await page.emulateMediaType('print');
    check(await page.$eval('#items .step', (s) => getComputedStyle(s).breakInside) === 'avoid',
          'print: a step does not break across pages');
    const pdf = await page.pdf({format: 'A4'});
    check(pdf.length > 1000, 'the page prints');

    for (const e of errors) failures.push(e);
    await page.close();
    return expected.thumbnails ? 'thumbnail' : 'full-size';
}

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'klavoro-chromium-'));
const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
let total = 0;
try {
    for (const arg of process.argv.slice(2)) {
        let name = arg;
        try {
            name = await checkManual(browser, path.resolve(arg));
        } catch (e) {
            failures.push('stopped: ' + e.message);
        }
        for (const f of failures) console.log(`FAIL ${name} style: ${f}`);
        console.log(`${name} style: ${checks - failures.length} passed, ${failures.length} failed`);
        total += failures.length;
        failures = [];
        checks = 0;
    }
} finally {
    await browser.close();
    fs.rmSync(profile, {recursive: true, force: true});
}

process.exit(total ? 1 : 0);
