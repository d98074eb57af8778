// Runs a script as plasmashell would, against COUNT stand-in desktops that
// record what the script does to them, and prints that as JSON:
//   [{plugin, writes: [{plugin, group, key, value, type, path}]}]
// where path is a file URL value turned back into a path (null otherwise).
//   node run_plasma_script.js SCRIPT COUNT
'use strict';
const fs = require('fs');
const vm = require('vm');
const { fileURLToPath } = require('url');

const [scriptFile, countText] = process.argv.slice(2);
const count = Number(countText);

function makeDesktop() {
  let group = [];
  return {
    wallpaperPlugin: 'org.kde.color',  // anything but the image plugin
    writes: [],
    get currentConfigGroup() { return group.slice(); },
    set currentConfigGroup(value) { group = Array.from(value, String); },
    writeConfig(key, value) {
      let path = null;
      if (typeof value === 'string' && value.startsWith('file:')) {
        try { path = fileURLToPath(value); } catch (e) { path = null; }
      }
      this.writes.push({ plugin: this.wallpaperPlugin, group: group.join('/'), key, value,
                         type: typeof value, path });
    },
  };
}

const desktops = Array.from({ length: count }, makeDesktop);
const script = fs.readFileSync(scriptFile, 'utf8');
vm.runInNewContext(script, { desktops: () => desktops.slice() }, { filename: scriptFile });
process.stdout.write(JSON.stringify(desktops.map(d => ({ plugin: d.wallpaperPlugin, writes: d.writes }))));
