// Lighthouse's mobile profile (a mid-range phone on a slow 4G network, simulated) against the
// site folder served on 127.0.0.1, in the Debian Chromium the browser tests use: the scores for
// performance, accessibility and best practices, the timings to the first paint and to the
// game's first picture, of each of a few runs and their median (the simulated timings move from one run to the next), the
// long tasks of each run and every audit that fell short. A measurement: it reports.
//   RINK_WEB_BUILD=build-web node tests/web/lighthouse.mjs     (make lighthouse)
import fs from 'node:fs';
import lighthouse from 'lighthouse';
import {launchBrowser, pageFolder, startServer} from './browser.mjs';

const runs = 3;
const categories = ['performance', 'accessibility', 'best-practices'];
const timings = ['first-contentful-paint', 'largest-contentful-paint', 'speed-index', 'total-blocking-time',
                 'cumulative-layout-shift'];

const median = values => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const folder = pageFolder();
const server = await startServer(folder);
const browser = await launchBrowser();
try {
  const port = Number(new URL(browser.wsEndpoint()).port);
  const results = [];
  for (let run = 0; run < runs; ++run) {
    const {lhr} = await lighthouse(server.url, {port, output: 'json', logLevel: 'error', onlyCategories: categories});
    results.push(lhr);
  }
  const row = (label, values, show) => console.log(`${label.padEnd(26)}${values.map(show).join('').padEnd(30)}median ${show(median(values))}`);
  for (const id of categories) {
    row(results[0].categories[id].title, results.map(lhr => Math.round(lhr.categories[id].score * 100)), n => String(n).padStart(6));
  }
  console.log('On the mobile profile:');
  for (const id of timings) {
    const unit = id === 'cumulative-layout-shift' ? 1 : 1000;
    row(`  ${results[0].audits[id].title}`, results.map(lhr => lhr.audits[id].numericValue / unit),
        n => (unit === 1 ? n.toFixed(2) : n.toFixed(2) + ' s').padStart(9));
  }
  // A mark of the page's own; Lighthouse gives its time as the unthrottled run saw it.
  const firstPicture = lhr => lhr.audits['user-timings'].details.items.find(mark => mark.name === 'rink: first picture')
                                 ?.startTime / 1000;
  row('  First picture (unthrottled)', results.map(firstPicture), n => (n.toFixed(2) + ' s').padStart(9));
  // The main thread's tasks of 50 ms or more on the throttled phone, the page's own or not (a
  // long task is what Total Blocking Time counts): where each came from, when and how long.
  results.forEach((lhr, run) => {
    const tasks = lhr.audits['long-tasks'].details?.items ?? [];
    const shown = tasks.map(task => `${task.url.split('/').pop() || task.url} at ${Math.round(task.startTime)} ms: ` +
                                    `${Math.round(task.duration)} ms`);
    console.log(`Long tasks of run ${run + 1}: ${shown.join(', ') || 'none'}`);
  });
  const short = new Set(results.flatMap(lhr => Object.values(lhr.audits)
      .filter(audit => audit.scoreDisplayMode === 'binary' && audit.score === 0).map(audit => audit.id)));
  if (short.size > 0) console.log(`Short of the mark in a run: ${[...short].join(', ')}`);
} finally {
  await browser.close();
  await server.stop();
  fs.rmSync(folder, {recursive: true, force: true});
}
