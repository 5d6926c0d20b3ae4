// The browser build in headless chromium: serves the folder, opens the page,
// clicks Start and watches the show for a while; then the test mode's
// frames at fixed demo times, compared with the native recorder's checksums.
//
//   node run.mjs SERVE_PY BUILD_WEB_DIR CHECKSUMS_FILE SCENES_FILE OUTPUT_DIR
//
// SERVE_PY is web/serve.py; the checksums file has lines "MS CHECKSUM ..."
// (hex), as record --checksums prints them; the scenes file the lines
// "scene N from frame F (t = MS ms)" of record --bench --from 8. Exits 0 when every
// check passed; each failure is printed.
import { spawn } from "node:child_process";
import { readFileSync } from "node:fs";
import { join } from "node:path";
import puppeteer from "puppeteer-core";

const [servePy, webDir, checksumFile, scenesFile, outDir] = process.argv.slice(2);
const failures = [];
const check = (ok, what) => { console.log((ok ? "ok    " : "FAIL  ") + what); if (!ok) failures.push(what); };
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

function serve() {
  return new Promise((resolve, reject) => {
    const server = spawn("python3", [servePy, webDir, "--port", "0"], { stdio: ["ignore", "pipe", "inherit"] });
    server.stdout.on("data", (d) => {
      const m = /(http:\/\/\S+\/)/.exec(String(d));
      if (m) resolve({ server, url: m[1] });
    });
    server.on("exit", (code) => reject(new Error("server ended with " + code)));
  });
}

const expected = new Map(readFileSync(checksumFile, "utf8").trim().split("\n")
  .map((l) => l.trim().split(/\s+/)).map(([ms, sum]) => [Number(ms), parseInt(sum, 16)]));

const sceneStarts = new Map([...readFileSync(scenesFile, "utf8").matchAll(/^scene (\d+) from frame \d+ \(t = ([\d.]+) ms\)/gm)]
  .map((m) => [Number(m[1]), Number(m[2])]));

const { server, url } = await serve();
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  headless: true,
  args: ["--no-sandbox", "--autoplay-policy=no-user-gesture-required", "--mute-audio"],
});
try {
  const page = await browser.newPage();
  const pageErrors = [];
  page.on("pageerror", (e) => pageErrors.push(String(e)));
  page.on("console", (m) => { if (m.type() === "error") pageErrors.push(m.text()); });
  await page.setViewport({ width: 960, height: 600 });

  // The show, live, from scene 8: the music starts at that scene's marker,
  // and scene 9 must come at the music position where the native recording
  // from scene 8 shows it, less the 100 ms by which live markers lead the
  // sound (the recording's fall due as they are heard).
  await page.goto(url + "index.html?stats&from=8", { waitUntil: "load" });
  await page.waitForSelector("#start:not([disabled])", { timeout: 60000 });
  await page.click("#start");
  const samples = [];
  let switchedAt = null;
  for (let i = 0; i <= 40; i++) {
    if (i) await sleep(250);
    const s = await page.evaluate(() => {
      const d = window.demoStats;
      return { frames: d.frames, callbacks: d.callbacks, musicMs: d.musicMs, scene: d.scene, running: d.running,
               errors: d.errors.slice(), switchMs: d.sceneSwitchMs };
    });
    samples.push(s);
    if (s.scene === 9 && switchedAt === null) switchedAt = s.switchMs;
  }
  await page.screenshot({ path: join(outDir, "web_show.png") });
  const perSecond = samples.filter((s, i) => i % 4 === 0);
  const last = samples[samples.length - 1];
  check(perSecond.every((s, i) => i === 0 || (s.frames > perSecond[i - 1].frames && s.callbacks > perSecond[i - 1].callbacks)),
        "frames and audio callbacks grow every second: " + perSecond.map((s) => s.frames + "/" + s.callbacks).join(" "));
  check(last.musicMs - samples[0].musicMs >= 8000, `music position advanced ${last.musicMs - samples[0].musicMs} ms in 10 s`);
  const expectedSwitch = sceneStarts.get(9) - 100;
  check(switchedAt !== null && Math.abs(switchedAt - expectedSwitch) <= 60,
        `scene 9 shown at music position ${switchedAt} ms (the recording: ${expectedSwitch.toFixed(0)} ms)`);
  check(samples.every((s, i) => i === 0 || s.scene >= samples[i - 1].scene), "scenes only move on");
  const stats = await page.evaluate(() => {
    const s = window.demoStats, sorted = s.stepMs.slice().sort((a, b) => a - b);
    return { firstFrameMs: s.firstFrameMs, underruns: s.underruns, frames: s.frames,
             mean: sorted.reduce((a, b) => a + b, 0) / sorted.length, p99: sorted[Math.floor(sorted.length * 0.99)] };
  });
  console.log("stats " + JSON.stringify(stats));
  check(last.running, "the show is still running");

  // Escape ends the show and offers Play again.
  await page.keyboard.press("Escape");
  await page.waitForSelector("#again:not([hidden])", { timeout: 5000 }).catch(() => {});
  check(await page.evaluate(() => window.demoStats.ended && !document.getElementById("again").hidden),
        "Escape ends the show and shows Play again");
  check(pageErrors.length === 0 && last.errors.length === 0, "no page error: " + pageErrors.concat(last.errors).join("; "));

  // The test mode's frames against the native recorder's.
  const times = [...expected.keys()];
  const atPage = await browser.newPage();
  atPage.on("pageerror", (e) => pageErrors.push(String(e)));
  await atPage.goto(url + "index.html?at=" + times.join(","), { waitUntil: "load" });
  await atPage.waitForFunction(() => window.demoAtResults, { timeout: 300000 });
  const results = await atPage.evaluate(() => window.demoAtResults);
  for (const r of results)
    check(r.checksum === expected.get(r.ms),
          `frame at ${r.ms} ms: checksum ${r.checksum.toString(16)} (native ${expected.get(r.ms).toString(16)})`);
  await atPage.screenshot({ path: join(outDir, "web_at.png") });
  check(pageErrors.length === 0, "no page error in the test mode: " + pageErrors.join("; "));
} finally {
  await browser.close();
  server.kill();
}
console.log(failures.length ? `${failures.length} check(s) failed` : "all browser checks passed");
process.exit(failures.length ? 1 : 0);
