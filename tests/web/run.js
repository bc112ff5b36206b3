// Runs one browser test by name (node run.js NAME), or lists them (node run.js --list);
// exits 0 when it passed.
'use strict';
const {tests} = require('./harness');
require('./game_test');
require('./touch_test');
require('./offline_test');

const name = process.argv[2];
if (name === '--list') {
  console.log([...tests.keys()].join('\n'));
  process.exit(0);
}
const body = tests.get(name);
if (!body) {
  console.error(`no browser test named ${name}`);
  process.exit(2);
}
const timer = setTimeout(() => {
  console.error(`${name}: did not finish in 90 s`);
  process.exit(1);
}, 90000);
body().then(() => {
  clearTimeout(timer);
  console.log(`${name}: passed`);
}, (error) => {
  clearTimeout(timer);
  console.error(`${name}: ${error.stack || error}`);
  process.exit(1);
});
