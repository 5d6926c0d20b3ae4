// The whole show in headless chromium with the page's ?stats figures:
// frame step times, the canvas's share, audio callbacks and underruns, and
// the first frame after Start. Not a test: prints the figures as JSON.
//
//   node build-web/browser_test/measure.mjs http://127.0.0.1:8000/
//
// with the page served (./run.sh --web); the scripts copy it there.
import puppeteer from "puppeteer-core";

const url = process.argv[2];
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  headless: true,
  args: ["--no-sandbox", "--autoplay-policy=no-user-gesture-required", "--mute-audio"],
});
try {
  const page = await browser.newPage();
  const errors = [];
  page.on("pageerror", (e) => errors.push(String(e)));
  await page.goto(url + "index.html?stats", { waitUntil: "load" });
  await page.waitForSelector("#start:not([disabled])", { timeout: 60000 });
  await page.click("#start");
  // Polled in short calls: one wait of the show's three minutes would
  // outlast the browser protocol's own timeout.
  const started = Date.now();
  while (Date.now() - started < 300000 &&
         !(await page.evaluate(() => window.demoStats.ended || window.demoStats.errors.length > 0)))
    await new Promise((r) => setTimeout(r, 1000));
  const figures = await page.evaluate(() => {
    const s = window.demoStats, sorted = s.stepMs.slice().sort((a, b) => a - b);
    const mean = (v) => v.reduce((a, b) => a + b, 0) / (v.length || 1);
    return { ended: s.ended, frames: s.frames, musicMs: s.musicMs, lastScene: s.scene, meanMs: mean(sorted),
             p99Ms: sorted[Math.floor(sorted.length * 0.99)], maxMs: sorted[sorted.length - 1],
             canvasMeanMs: mean(s.canvasMs), callbacks: s.callbacks, underruns: s.underruns,
             firstFrameMs: s.firstFrameMs, setUpMs: s.setUpMs, errors: s.errors };
  });
  console.log(JSON.stringify({ ...figures, pageErrors: errors }, null, 1));
} finally {
  await browser.close();
}
