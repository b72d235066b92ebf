// The controls beside the picture: the line that names the controls of the input in use (keys,
// touch or a gamepad), and the touch controls. Each touch control follows one finger at a time,
// captured so that a finger sliding off it still counts, and holds the game keys it names (as
// KeyboardEvent.code names them) through the game's own key latch, as the keyboard does: so
// skating with one finger while another holds Shoot works. The gamepads themselves are read by
// the game (web_pads.cpp); the page only says that one is in use.
'use strict';

window.rinkControls = (() => {
  const body = document.body;
  const goOn = document.getElementById('go-on');

  // The line and the touch controls follow the input used last.
  function use(input) {
    if (body.dataset.input === input) return;
    body.dataset.input = input;
    fitPicture();
  }

  function sendKey(code, down) {
    if (Module._rink_touch_key) Module.ccall('rink_touch_key', null, ['string', 'number'], [code, down ? 1 : 0]);
  }

  // A control that holds some keys: hold() with the keys now held presses and lets go the change.
  function holder() {
    let held = [];
    return keys => {
      for (const code of held) if (!keys.includes(code)) sendKey(code, false);
      for (const code of keys) if (!held.includes(code)) sendKey(code, true);
      held = keys;
    };
  }

  // One finger at a time on `element`; keysAt(event) tells the keys its place holds.
  function follow(element, keysAt) {
    const hold = holder();
    let finger = null;
    element.addEventListener('pointerdown', event => {
      if (finger !== null) return;
      finger = event.pointerId;
      element.setPointerCapture(finger);
      event.preventDefault();
      hold(keysAt(event));
    });
    element.addEventListener('pointermove', event => {
      if (event.pointerId === finger) hold(keysAt(event));
    });
    const letGo = event => {
      if (event.pointerId !== finger) return;
      finger = null;
      hold([]);
    };
    for (const end of ['pointerup', 'pointercancel', 'lostpointercapture']) element.addEventListener(end, letGo);
    element.addEventListener('contextmenu', event => event.preventDefault());
    // A button pressed from the keyboard or assistive technology (no pointer): one quick press.
    element.addEventListener('click', event => {
      const button = event.target.closest('button');
      if (event.detail !== 0 || !button) return;
      const keys = button.dataset.keys.split(' ');
      hold(keys);
      hold([]);
    });
  }

  // The pad is a stick: the finger's place from its middle holds up to two arrows, diagonals
  // included; a finger near the middle holds none.
  const pad = document.getElementById('pad');
  follow(pad, event => {
    const box = pad.getBoundingClientRect();
    const across = (event.clientX - box.left) / box.width * 2 - 1, down = (event.clientY - box.top) / box.height * 2 - 1;
    const keys = [];
    if (Math.abs(across) > 1 / 3) keys.push(across < 0 ? 'ArrowLeft' : 'ArrowRight');
    if (Math.abs(down) > 1 / 3) keys.push(down < 0 ? 'ArrowUp' : 'ArrowDown');
    return keys;
  });
  for (const button of document.querySelectorAll('#right button')) follow(button, () => button.dataset.keys.split(' '));

  window.addEventListener('pointerdown', event => {
    if (event.pointerType === 'touch') use('touch');
  }, {capture: true, passive: true});
  window.addEventListener('keydown', () => use('keys'), {capture: true, passive: true});
  window.addEventListener('gamepadconnected', () => use('pad'));
  const padThere = Array.from(navigator.getGamepads ? navigator.getGamepads() : []).some(pad => pad && pad.connected);
  use(padThere ? 'pad' : matchMedia('(pointer: coarse)').matches ? 'touch' : 'keys');
  screen.focus({preventScroll: true});  // the keys go to the game without a click first, once it shows

  return {
    // The game's state: while it waits for D (after a goal) or N (after a match), the large
    // button presses that key.
    follow(status) {
      const awaited = status.state === 'waiting' ? status.awaits : '';
      goOn.hidden = awaited === '';
      if (awaited === '') return;
      goOn.dataset.keys = 'Key' + awaited;
      goOn.textContent = awaited === 'D' ? 'Drop the puck' : 'New match';
    },
  };
})();
