// Reads an ADIF file with adif-parser-ts (installed by scripts/adif-check.sh into build/node) and
// prints its header and records as JSON, field names in capitals.
//
//   node tests/adif/check_adif.js <file.adi>
'use strict';
const fs = require('fs');
const path = require('path');

const moduleDir = process.env.ADIF_NODE_MODULES || path.join(__dirname, '..', '..', 'build', 'node', 'node_modules');
const { AdifParser } = require(path.join(moduleDir, 'adif-parser-ts'));

const upper = (fields) => Object.fromEntries(Object.entries(fields || {}).map(([k, v]) => [k.toUpperCase(), v]));
const parsed = AdifParser.parseAdi(fs.readFileSync(process.argv[2], 'latin1'));
process.stdout.write(JSON.stringify({
  header: upper(parsed.header),
  records: (parsed.records || []).map(upper),
}, null, 1) + '\n');
