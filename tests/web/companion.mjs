// The Linux companion as the page's yardstick: what it writes and says for
// a list is what the page must give for the same list, voltages and type.
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

export const kEpromTypes = ['27C64', '27C128', '27C256', '27C512'];

// A printed message: its title on the first line, then one line each.
export function parseMessage(text) {
    const [title, ...lines] = text.split('\n');
    if (lines.at(-1) === '') lines.pop();
    return { title, lines };
}

// Runs the companion on a copy of the list in a folder of its own, with
// `locale` as LC_ALL. Returns its exit status, its message and every file
// it wrote, by name.
export function runCompanion(companion, { listName, listBytes, start, end, eprom, locale }) {
    const folder = mkdtempSync(join(tmpdir(), 'varidac-web-'));
    try {
        writeFileSync(join(folder, listName), listBytes);
        const args = [];
        if (start !== undefined) args.push('--start', start);
        if (end !== undefined) args.push('--end', end);
        if (eprom !== undefined) args.push('--eprom', kEpromTypes[eprom]);
        args.push(listName);
        const env = { ...process.env, LC_ALL: locale, LANG: locale };
        const run = spawnSync(companion, args, { cwd: folder, env, encoding: 'utf8' });
        if (run.error) throw run.error;
        const files = new Map();
        for (const name of readdirSync(folder).sort()) {
            if (name !== listName) files.set(name, readFileSync(join(folder, name)));
        }
        const printed = run.status === 0 ? run.stdout : run.stderr;
        return { status: run.status, message: parseMessage(printed), files };
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
}
