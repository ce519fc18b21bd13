// The held-jobs page and the printing defaults page in Debian's chromium:
// sign-in refused without an account or with a wrong password; another
// user may not release the job; a wrong document password keeps it held;
// the owner's right one releases it; the defaults page shows the password
// key to an administrator only. Screenshots go to SHOTS.
//   node held_jobs.mjs BASE PRINTER JOB OWNER:PW OTHER:PW ADMIN:PW DOCPW SHOTS
import { chromium } from "playwright-core";

const [base, printer, job, owner, other, admin, documentPassword, shots] = process.argv.slice(2);
const account = (text) => {
  const colon = text.indexOf(":");
  return { username: text.slice(0, colon), password: text.slice(colon + 1) };
};
const held = `${base}${printer}/held`;
const failures = [];
const check = (ok, what) => {
  if (!ok) failures.push(what);
};

const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args: ["--no-sandbox"] });
async function open(credentials, url) {
  const context = await browser.newContext({
    ignoreHTTPSErrors: true,
    httpCredentials: credentials,
    viewport: { width: 1100, height: 700 },
  });
  const page = await context.newPage();
  try {
    const response = await page.goto(url);
    return { page, status: response.status() };
  } catch (error) {
    // Chromium ends a sign-in the server keeps refusing with this error.
    if (String(error).includes("ERR_INVALID_AUTH_CREDENTIALS")) return { page, status: 401 };
    throw error;
  }
}
async function act(page, action, password) {
  const row = page.locator("tr", { has: page.locator(`input[name="job-id"][value="${job}"]`) });
  if (password !== undefined) await row.locator('input[name="password"]').fill(password);
  await Promise.all([page.waitForNavigation(), row.locator(`button[value="${action}"]`).click()]);
  return (await page.locator(".banner").textContent()) ?? "";
}

try {
  check((await open(undefined, held)).status === 401, "the page opened without signing in");
  const wrongLogin = { ...account(owner), password: "not-the-password" };
  check((await open(wrongLogin, held)).status === 401, "a wrong sign-in password was taken");

  const stranger = await open(account(other), held);
  check(stranger.status === 200, `another user got ${stranger.status}`);
  const refused = await act(stranger.page, "release", documentPassword);
  check(refused.includes("Only the job's owner"), `another user released the job: ${refused}`);

  const own = await open(account(owner), held);
  check(/The (PDF needs its|document password does not open the PDF)/.test(await own.page.textContent("table")),
        "the job does not say why it is held");
  await own.page.screenshot({ path: `${shots}/held-jobs.png`, fullPage: true });
  const wrong = await act(own.page, "release", "not-the-document-password");
  check(wrong.includes("does not open the PDF") && wrong.includes("stays held"),
        `a wrong document password: ${wrong}`);
  await own.page.screenshot({ path: `${shots}/held-wrong-password.png`, fullPage: true });
  const released = await act(own.page, "release", documentPassword);
  check(released.includes(`Job ${job} is released`), `the right document password: ${released}`);
  await own.page.screenshot({ path: `${shots}/held-released.png`, fullPage: true });

  const defaults = `${base}${printer}/printing`;
  check((await open(account(other), defaults)).status === 403, "a user opened the printing defaults");
  const settings = await open(account(admin), defaults);
  const key = settings.page.locator("tr", { hasText: "Password Key" }).locator("select");
  check((await key.locator("option:checked").textContent()) === "Printer's MAC Address",
        "the defaults page does not show the password key");
  await settings.page.screenshot({ path: `${shots}/printing-defaults.png`, fullPage: true });
} catch (error) {
  failures.push(String(error));
} finally {
  await browser.close();
}
for (const failure of failures) console.error(`FAIL: ${failure}`);
process.exit(failures.length > 0 ? 1 : 0);
