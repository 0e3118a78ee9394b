// Keyboard snapshots are built from SDL's key events: a key pressed and released between two
// snapshots still counts as held in the next one, so no tap is lost at a low frame rate.
#include "runtime/input_devices.h"

#include <array>
#include <vector>

#include "runtime/headless.h"
#include "runtime/internal.h"
#include "runtime/screen.h"

namespace {
std::array<bool, 256> liveDown{};          // from events, by physical key code
std::array<bool, 256> pressedSincePoll{};  // went down since the last snapshot
std::array<bool, 256> snapshot{};
std::array<bool, 256> wasDown{};           // the release edge's flag
std::array<int16_t, 256> layoutTable{};    // game code -> physical code in layout mode
bool layoutTableBuilt = false;
int64_t keyboardMode = 0;
size_t nextScriptEvent = 0;

struct Pad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID instance = -1;
    bool scripted = false;
    std::array<bool, 15> buttons{}; // scripted state, 1-14
    int64_t axisX = 0, axisY = 0;   // scripted thousandths
};
std::vector<Pad> pads;
bool controllersWanted = false; // initControllers has run
DeviceCounters counters;

int16_t gameCodeOf(SDL_Scancode scancode) {
    switch (scancode) {
    case SDL_SCANCODE_ESCAPE: return 1;
    case SDL_SCANCODE_1: return 2;
    case SDL_SCANCODE_2: return 3;
    case SDL_SCANCODE_3: return 4;
    case SDL_SCANCODE_4: return 5;
    case SDL_SCANCODE_5: return 6;
    case SDL_SCANCODE_6: return 7;
    case SDL_SCANCODE_7: return 8;
    case SDL_SCANCODE_8: return 9;
    case SDL_SCANCODE_9: return 10;
    case SDL_SCANCODE_0: return 11;
    case SDL_SCANCODE_MINUS: return 12;
    case SDL_SCANCODE_EQUALS: return 13;
    case SDL_SCANCODE_BACKSPACE: return 14;
    case SDL_SCANCODE_TAB: return 15;
    case SDL_SCANCODE_Q: return 16;
    case SDL_SCANCODE_W: return 17;
    case SDL_SCANCODE_E: return 18;
    case SDL_SCANCODE_R: return 19;
    case SDL_SCANCODE_T: return 20;
    case SDL_SCANCODE_Y: return 21;
    case SDL_SCANCODE_U: return 22;
    case SDL_SCANCODE_I: return 23;
    case SDL_SCANCODE_O: return 24;
    case SDL_SCANCODE_P: return 25;
    case SDL_SCANCODE_LEFTBRACKET: return 26;
    case SDL_SCANCODE_RIGHTBRACKET: return 27;
    case SDL_SCANCODE_RETURN: return 28;
    case SDL_SCANCODE_LCTRL: return 29;
    case SDL_SCANCODE_A: return 30;
    case SDL_SCANCODE_S: return 31;
    case SDL_SCANCODE_D: return 32;
    case SDL_SCANCODE_F: return 33;
    case SDL_SCANCODE_G: return 34;
    case SDL_SCANCODE_H: return 35;
    case SDL_SCANCODE_J: return 36;
    case SDL_SCANCODE_K: return 37;
    case SDL_SCANCODE_L: return 38;
    case SDL_SCANCODE_SEMICOLON: return 39;
    case SDL_SCANCODE_APOSTROPHE: return 40;
    case SDL_SCANCODE_GRAVE: return 41;
    case SDL_SCANCODE_LSHIFT: return 42;
    case SDL_SCANCODE_BACKSLASH: return 43;
    case SDL_SCANCODE_Z: return 44;
    case SDL_SCANCODE_X: return 45;
    case SDL_SCANCODE_C: return 46;
    case SDL_SCANCODE_V: return 47;
    case SDL_SCANCODE_B: return 48;
    case SDL_SCANCODE_N: return 49;
    case SDL_SCANCODE_M: return 50;
    case SDL_SCANCODE_COMMA: return 51;
    case SDL_SCANCODE_PERIOD: return 52;
    case SDL_SCANCODE_SLASH: return 53;
    case SDL_SCANCODE_RSHIFT: return 54;
    case SDL_SCANCODE_KP_MULTIPLY: return 55;
    case SDL_SCANCODE_LALT: return 56;
    case SDL_SCANCODE_SPACE: return 57;
    case SDL_SCANCODE_CAPSLOCK: return 58;
    case SDL_SCANCODE_F1: return 59;
    case SDL_SCANCODE_F2: return 60;
    case SDL_SCANCODE_F3: return 61;
    case SDL_SCANCODE_F4: return 62;
    case SDL_SCANCODE_F5: return 63;
    case SDL_SCANCODE_F6: return 64;
    case SDL_SCANCODE_F7: return 65;
    case SDL_SCANCODE_F8: return 66;
    case SDL_SCANCODE_F9: return 67;
    case SDL_SCANCODE_F10: return 68;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 69;
    case SDL_SCANCODE_SCROLLLOCK: return 70;
    case SDL_SCANCODE_KP_7: return 71;
    case SDL_SCANCODE_KP_8: return 72;
    case SDL_SCANCODE_KP_9: return 73;
    case SDL_SCANCODE_KP_MINUS: return 74;
    case SDL_SCANCODE_KP_4: return 75;
    case SDL_SCANCODE_KP_5: return 76;
    case SDL_SCANCODE_KP_6: return 77;
    case SDL_SCANCODE_KP_PLUS: return 78;
    case SDL_SCANCODE_KP_1: return 79;
    case SDL_SCANCODE_KP_2: return 80;
    case SDL_SCANCODE_KP_3: return 81;
    case SDL_SCANCODE_KP_0: return 82;
    case SDL_SCANCODE_KP_PERIOD: return 83;
    case SDL_SCANCODE_NONUSBACKSLASH: return 86;
    case SDL_SCANCODE_F11: return 87;
    case SDL_SCANCODE_F12: return 88;
    case SDL_SCANCODE_KP_ENTER: return 156;
    case SDL_SCANCODE_RCTRL: return 157;
    case SDL_SCANCODE_KP_COMMA: return 179;
    case SDL_SCANCODE_KP_DIVIDE: return 181;
    case SDL_SCANCODE_PRINTSCREEN: return 183;
    case SDL_SCANCODE_RALT: return 184;
    case SDL_SCANCODE_PAUSE: return 197;
    case SDL_SCANCODE_HOME: return 199;
    case SDL_SCANCODE_UP: return 200;
    case SDL_SCANCODE_PAGEUP: return 201;
    case SDL_SCANCODE_LEFT: return 203;
    case SDL_SCANCODE_RIGHT: return 205;
    case SDL_SCANCODE_END: return 207;
    case SDL_SCANCODE_DOWN: return 208;
    case SDL_SCANCODE_PAGEDOWN: return 209;
    case SDL_SCANCODE_INSERT: return 210;
    case SDL_SCANCODE_DELETE: return 211;
    case SDL_SCANCODE_LGUI: return 219;
    case SDL_SCANCODE_RGUI: return 220;
    case SDL_SCANCODE_APPLICATION: return 221;
    default: return 0;
    }
}

// The QWERTY positions of the letters A to Z in the game's numbering.
constexpr int16_t kLetterCodes[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                      49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};

void buildLayoutTable() {
    for (int i = 0; i < 256; ++i) layoutTable[size_t(i)] = int16_t(i);
    for (int letter = 0; letter < 26; ++letter) {
        SDL_Scancode scancode = SDL_GetScancodeFromKey(SDL_Keycode(SDLK_a + letter));
        int16_t physical = gameCodeOf(scancode);
        if (physical != 0) layoutTable[size_t(kLetterCodes[letter])] = physical;
    }
    layoutTableBuilt = true;
}

int64_t physicalCode(int64_t code) {
    if (code < 0 || code > 255) return -1;
    return (keyboardMode & kKeyboardFollowLayout) ? layoutTable[size_t(code)] : code;
}

void setKey(int64_t code, bool down) {
    if (code <= 0 || code > 255) return;
    liveDown[size_t(code)] = down;
    if (down) pressedSincePoll[size_t(code)] = true;
}

bool releasedEdge(int64_t physical) {
    if (snapshot[size_t(physical)]) {
        wasDown[size_t(physical)] = true;
        return false;
    }
    if (!wasDown[size_t(physical)]) return false;
    wasDown[size_t(physical)] = false;
    return true;
}

Pad* padAt(int64_t pad) {
    if (pad < 0 || pad >= int64_t(pads.size())) return nullptr;
    Pad& p = pads[size_t(pad)];
    return (p.controller || p.scripted) ? &p : nullptr;
}

void openController(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return;
    // Headless runs stay reproducible: only the virtual controllers that tests plug in count,
    // never a real one that happens to be connected to the machine.
    if (isHeadless() && !SDL_JoystickIsVirtual(deviceIndex)) return;
    SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (const Pad& pad : pads)
        if (pad.controller && pad.instance == instance) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) return;
    // A pad plugged in again takes back the first free place, so players keep their pads.
    size_t place = 0;
    while (place < pads.size() && (pads[place].controller || pads[place].scripted)) ++place;
    if (place == pads.size()) pads.push_back({});
    pads[place].controller = controller;
    pads[place].instance = instance;
    if (controllerPluggedIn) controllerPluggedIn(int64_t(place));
}
} // namespace

void (*controllerPluggedIn)(int64_t pad) = nullptr;

const DeviceCounters& deviceCounters() { return counters; }

void pumpSdlEvents() {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
    SDL_PumpEvents();
    ++counters.eventPumps;
    // With joysticks on, each pump looks for devices come and gone and reads the open ones.
    if (SDL_WasInit(SDL_INIT_JOYSTICK)) ++counters.devicePolls;
}

bool startControllerSupport() {
    if (!controllersWanted) return false;
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return true;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    ++counters.controllerStarts;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) openController(i);
    return true;
}

SDL_GameControllerButton controllerButtonOf(int64_t button) {
    // A, B, X, Y, LB, RB, Back, Start, left stick, right stick, Guide, then the rest.
    static const SDL_GameControllerButton kButtons[15] = {
        SDL_CONTROLLER_BUTTON_INVALID,       SDL_CONTROLLER_BUTTON_A,
        SDL_CONTROLLER_BUTTON_B,             SDL_CONTROLLER_BUTTON_X,
        SDL_CONTROLLER_BUTTON_Y,             SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
        SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, SDL_CONTROLLER_BUTTON_BACK,
        SDL_CONTROLLER_BUTTON_START,         SDL_CONTROLLER_BUTTON_LEFTSTICK,
        SDL_CONTROLLER_BUTTON_RIGHTSTICK,    SDL_CONTROLLER_BUTTON_GUIDE,
        SDL_CONTROLLER_BUTTON_MISC1,         SDL_CONTROLLER_BUTTON_PADDLE1,
        SDL_CONTROLLER_BUTTON_PADDLE2};
    return button >= 1 && button <= 14 ? kButtons[button] : SDL_CONTROLLER_BUTTON_INVALID;
}

int64_t initKeyboard() {
    if (!SDL_WasInit(SDL_INIT_EVENTS) && SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return 0;
    liveDown.fill(false);
    pressedSincePoll.fill(false);
    snapshot.fill(false);
    wasDown.fill(false);
    return 1;
}

void setKeyboardMode(int64_t flags) {
    keyboardMode = flags;
    if ((flags & kKeyboardFollowLayout) && !layoutTableBuilt) buildLayoutTable();
}

int64_t pollKeyboard() {
    pumpRuntimeEvents();
    // Without branches, so that the compiler does the 256 keys many at a time.
    for (size_t i = 0; i < 256; ++i) {
        snapshot[i] = liveDown[i] | pressedSincePoll[i];
        wasDown[i] = wasDown[i] | snapshot[i]; // a key seen down in a snapshot
    }
    pressedSincePoll.fill(false);
    return 1;
}

int64_t keyDown(int64_t code) {
    if (code == -1) {
        for (bool down : snapshot)
            if (down) return 1;
        return 0;
    }
    int64_t physical = physicalCode(code);
    return physical > 0 && snapshot[size_t(physical)] ? 1 : 0;
}

int64_t keyReleased(int64_t code) {
    if (code == -1) {
        bool any = false;
        for (int64_t k = 1; k < 256; ++k) any = releasedEdge(k) || any;
        return any ? 1 : 0;
    }
    int64_t physical = physicalCode(code);
    return physical > 0 && releasedEdge(physical) ? 1 : 0;
}

void forgetKeyReleases() {
    for (size_t i = 0; i < wasDown.size(); ++i) wasDown[i] = liveDown[i];
}

void handleInputEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        setKey(gameCodeOf(event.key.keysym.scancode), event.type == SDL_KEYDOWN);
        if (event.type == SDL_KEYDOWN && !event.key.repeat &&
            event.key.keysym.scancode == SDL_SCANCODE_F12)
            requestScreenshot();
        break;
    case SDL_CONTROLLERDEVICEADDED: openController(event.cdevice.which); break;
    case SDL_CONTROLLERDEVICEREMOVED:
        for (Pad& pad : pads)
            if (pad.controller && pad.instance == event.cdevice.which) {
                SDL_GameControllerClose(pad.controller);
                pad.controller = nullptr;
                pad.instance = -1;
            }
        break;
    default: break;
    }
}

void applyScriptedInput(int64_t frame) {
    const auto& script = headlessOptions().script;
    for (; nextScriptEvent < script.size() && script[nextScriptEvent].frame <= frame;
         ++nextScriptEvent) {
        const ScriptEvent& event = script[nextScriptEvent];
        switch (event.kind) {
        case kScriptKey: setKey(event.code, event.value != 0); break;
        case kScriptPadButton: {
            Pad* pad = padAt(event.code / 100);
            int64_t button = event.code % 100;
            if (pad && button >= 1 && button <= 14) pad->buttons[size_t(button)] = event.value;
            break;
        }
        case kScriptPadAxisX:
            if (Pad* pad = padAt(event.code)) pad->axisX = event.value;
            break;
        case kScriptPadAxisY:
            if (Pad* pad = padAt(event.code)) pad->axisY = event.value;
            break;
        default: break;
        }
    }
}

int64_t initControllers() {
    controllersWanted = true;
    // Headless: the scripted controllers take the first places. Only virtual controllers could
    // come after them, and attachVirtualController starts SDL's support for those: started
    // here, it would poll the machine's devices at every pump for nothing.
    if (isHeadless()) {
        pads.assign(size_t(headlessOptions().controllerCount), Pad{});
        for (Pad& pad : pads) pad.scripted = true;
        return controllerCount();
    }
    startControllerSupport(); // picks up those plugged in, and later ones as they come
    return controllerCount();
}

int64_t controllerCount() {
    int64_t count = 0;
    for (const Pad& pad : pads)
        if (pad.controller || pad.scripted) ++count;
    return count;
}

int64_t controllerPresent(int64_t pad) { return padAt(pad) ? 1 : 0; }

int64_t pollController(int64_t pad) {
    if (!padAt(pad)) return 0;
    if (pads[size_t(pad)].controller) {
        SDL_GameControllerUpdate();
        ++counters.devicePolls;
    }
    return 1;
}

int64_t controllerButton(int64_t pad, int64_t button) {
    Pad* p = padAt(pad);
    if (!p || button < 1 || button > 14) return 0;
    if (p->scripted) return p->buttons[size_t(button)] ? 1 : 0;
    return SDL_GameControllerGetButton(p->controller, controllerButtonOf(button)) ? 1 : 0;
}

namespace {
int64_t axisDirection(int64_t thousandths) {
    if (thousandths < -499) return -1;
    if (thousandths >= 500) return 1;
    return 0;
}

int64_t readAxis(int64_t pad, bool vertical) {
    Pad* p = padAt(pad);
    if (!p) return 0;
    if (p->scripted) return axisDirection(vertical ? p->axisY : p->axisX);
    // The D-pad drives the axes as well as the stick.
    auto dpad = [&](SDL_GameControllerButton b) { return SDL_GameControllerGetButton(p->controller, b); };
    if (dpad(vertical ? SDL_CONTROLLER_BUTTON_DPAD_UP : SDL_CONTROLLER_BUTTON_DPAD_LEFT)) return -1;
    if (dpad(vertical ? SDL_CONTROLLER_BUTTON_DPAD_DOWN : SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) return 1;
    Sint16 raw = SDL_GameControllerGetAxis(
        p->controller, vertical ? SDL_CONTROLLER_AXIS_LEFTY : SDL_CONTROLLER_AXIS_LEFTX);
    return axisDirection(int64_t(raw) * 1000 / 32767);
}
} // namespace

int64_t controllerAxisX(int64_t pad) { return readAxis(pad, false); }
int64_t controllerAxisY(int64_t pad) { return readAxis(pad, true); }

void endInput() {
    endVirtualControllers();
    controllerPluggedIn = nullptr;
    controllersWanted = false;
    counters = DeviceCounters{};
    for (Pad& pad : pads)
        if (pad.controller) SDL_GameControllerClose(pad.controller);
    pads.clear();
    liveDown.fill(false);
    pressedSincePoll.fill(false);
    snapshot.fill(false);
    wasDown.fill(false);
    keyboardMode = 0;
    layoutTableBuilt = false;
    nextScriptEvent = 0;
}
