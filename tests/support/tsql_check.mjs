#!/usr/bin/env node
// Checks that statement texts parse as T-SQL (SQL Server's dialect of the sqlparser-rs
// parser), offline. Reads one text a line, from the file named on the command line or from
// standard input: a JSON string, or a JSON object with a "text" (a record of the test ODBC
// driver; records without one are skipped).
//
// Exit status: 0 every text parses; 1 one does not (the first is named on standard error);
// 2 bad input; 3 the parser is not installed (scripts/install-deps installs it).
//
// The parser is looked for in STOCKFIX_TSQL_PARSER (the package's folder), else in
// ${XDG_CACHE_HOME:-$HOME/.cache}/stockfix/npm/node_modules/@guanmingchiu/sqlparser-ts.
import { existsSync, readFileSync } from 'node:fs';
import { homedir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const PACKAGE = '@guanmingchiu/sqlparser-ts';

function parserFolder() {
  if (process.env.STOCKFIX_TSQL_PARSER) return process.env.STOCKFIX_TSQL_PARSER;
  const cache = process.env.XDG_CACHE_HOME || join(homedir(), '.cache');
  return join(cache, 'stockfix', 'npm', 'node_modules', PACKAGE);
}

// T-SQL the parser does not know but SQL Server takes.
function normalized(text) {
  // DELETE's FROM is optional in T-SQL.
  return text.replace(/^(\s*DELETE\s+)(?!FROM\b|TOP\b)/i, '$1FROM ');
}

// The client tools' batch separator on a line of its own: SQL Server never accepts it.
const goLine = /^[ \t]*GO([ \t]+\d+)?[ \t]*$/im;

async function main() {
  const folder = parserFolder();
  const manifest = join(folder, 'package.json');
  if (!existsSync(manifest)) {
    console.error(`tsql_check: the T-SQL parser ${PACKAGE} is not in ${folder} (run scripts/install-deps)`);
    return 3;
  }
  const entry = JSON.parse(readFileSync(manifest, 'utf8')).exports['.'].import;
  const { init, validate } = await import(pathToFileURL(join(folder, entry)).href);
  await init();

  const input = process.argv[2] ? readFileSync(process.argv[2], 'utf8') : readFileSync(0, 'utf8');
  const lines = input.split('\n');
  for (let i = 0; i < lines.length; ++i) {
    if (lines[i].trim() === '') continue;
    let value;
    try {
      value = JSON.parse(lines[i]);
    } catch (e) {
      console.error(`tsql_check: line ${i + 1} is not JSON: ${e.message}`);
      return 2;
    }
    const text = typeof value === 'string' ? value : value && typeof value.text === 'string' ? value.text : null;
    if (text === null) {
      if (typeof value === 'object' && value !== null) continue;
      console.error(`tsql_check: line ${i + 1} is neither a text nor a record`);
      return 2;
    }
    let problem = goLine.test(text) ? "Incorrect syntax near 'GO'." : null;
    if (!problem) {
      try {
        validate(normalized(text), 'mssql');
      } catch (e) {
        problem = String(e.message || e);
      }
    }
    if (problem) {
      console.error(`tsql_check: line ${i + 1} is not T-SQL: ${problem}\n${text}`);
      return 1;
    }
  }
  return 0;
}

process.exitCode = await main();
