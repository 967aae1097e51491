// node check.mjs PORT: holds an OpenRGB SDK server on 127.0.0.1:PORT against the npm client
// openrgb-sdk. Prints two JSON lines: what the client read (devices with their LEDs, zones
// and modes), then what it read back after switching the keyboard to Direct and setting
// colours (the colours and active modes). Exits 1 on any error, 3 when the server does not
// answer in time (the package itself waits forever).
import openrgb from "openrgb-sdk";

const { Client } = openrgb;

const kKeyboardType = 5;
const kMouseType = 6;
const kTimeoutMs = 15000;

// The colours set, so the test can compute them too.
const keyboardColor = (index) => ({ red: index % 256, green: 255 - (index % 256), blue: (index * 7) % 256 });
const kSingleLedName = "Key: Escape";
const kSingleLedColor = { red: 1, green: 2, blue: 3 };
const kMouseColors = [{ red: 10, green: 20, blue: 30 }, { red: 40, green: 50, blue: 60 }];

function describe(device) {
    return {
        name: device.name,
        type: device.type,
        vendor: device.vendor,
        serial: device.serial,
        location: device.location,
        ledCount: device.leds.length,
        leds: device.leds.map((led) => led.name),
        zones: device.zones.map((zone) => ({
            name: zone.name,
            type: zone.type,
            ledsCount: zone.ledsCount,
            matrix: zone.matrix
                ? {
                      height: zone.matrix.height,
                      width: zone.matrix.width,
                      keys: zone.matrix.keys.map((row) => row.map((key) => (key === undefined ? null : key))),
                  }
                : null,
        })),
        modes: device.modes.map((mode) => mode.name),
        activeMode: device.modes[device.activeMode]?.name ?? null,
    };
}

function stateOf(device) {
    return {
        name: device.name,
        activeMode: device.modes[device.activeMode]?.name ?? null,
        colors: device.colors.map((color) => [color.red, color.green, color.blue]),
    };
}

function only(devices, type) {
    const found = devices.filter((device) => device.type === type);
    if (found.length !== 1) throw new Error(`${found.length} devices of type ${type}`);
    return found[0];
}

async function main(port) {
    const client = new Client("npm check", port, "127.0.0.1");
    let finished = false;
    client.on("error", (error) => fail(error));
    client.on("disconnect", () => finished || fail("the server closed the connection"));
    await client.connect(2000);

    const devices = await client.getAllControllerData();
    console.log(JSON.stringify({ protocolVersion: client.protocolVersion, devices: devices.map(describe) }));

    const keyboard = only(devices, kKeyboardType);
    const mouse = only(devices, kMouseType);
    await client.updateMode(keyboard.deviceId, "Direct");
    await client.updateMode(mouse.deviceId, "Direct");
    client.updateLeds(keyboard.deviceId, keyboard.leds.map((_, index) => keyboardColor(index)));
    const single = keyboard.leds.findIndex((led) => led.name === kSingleLedName);
    if (single < 0) throw new Error(`no LED named ${kSingleLedName}`);
    client.updateSingleLed(keyboard.deviceId, single, kSingleLedColor);
    client.updateZoneLeds(mouse.deviceId, 0, kMouseColors);
    // Commands have no replies; the next request is answered after them anyway, the pause
    // only lets a server that applies them elsewhere catch up.
    await new Promise((resolve) => setTimeout(resolve, 100));

    const readBack = await client.getAllControllerData();
    console.log(JSON.stringify({ devices: readBack.map(stateOf) }));
    finished = true;
    client.disconnect();
}

function fail(error) {
    console.error(`npm check: ${error?.stack ?? error}`);
    process.exit(1);
}

const port = Number(process.argv[2]);
if (!Number.isInteger(port) || port <= 0 || port > 65535) fail(`not a port: ${process.argv[2]}`);
setTimeout(() => {
    console.error("npm check: the server did not answer in time");
    process.exit(3);
}, kTimeoutMs);
main(port).then(() => process.exit(0), fail);
