// Runs a script as plasmashell would, against COUNT stand-in desktops that
// record what the script does to them, and prints that as JSON:
//   {printed, desktops: [{screen, plugin, writes: [{plugin, group, key, value, type, path}]}]}
// where printed is what the script print()ed, as the shell answers it, and
// path is a file URL value turned back into a path (null otherwise).
// Desktop i is on screen i, or on the i-th of SCREENS (e.g. "1,0,1": more
// activities than screens give a screen several desktops). Each screen is
// 320 x 240, side by side.
//   node run_plasma_script.js SCRIPT COUNT [SCREENS]
'use strict';
const fs = require('fs');
const vm = require('vm');
const { fileURLToPath } = require('url');

const [scriptFile, countText, screensText] = process.argv.slice(2);
const count = Number(countText);
const screens = screensText === undefined ? null : screensText.split(',').map(Number);

function makeDesktop(screen) {
  let group = [];
  return {
    screen,
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

const desktops = Array.from({ length: count }, (_, i) => makeDesktop(screens ? screens[i] : i));
const script = fs.readFileSync(scriptFile, 'utf8');
let printed = '';
vm.runInNewContext(script, {
  desktops: () => desktops.slice(),
  screenGeometry: (screen) => ({ x: 320 * screen, y: 0, width: 320, height: 240 }),
  print: (text) => { printed += String(text); },
}, { filename: scriptFile });
process.stdout.write(JSON.stringify({
  printed,
  desktops: desktops.map(d => ({ screen: d.screen, plugin: d.wallpaperPlugin, writes: d.writes })),
}));
