// Online play in the page: "Play online" loads the page again with ?online=1, which makes a room
// (the game reads the address: web_online.h); once the relay has given the room, the panel shows
// its code and the link that joins it (?room=CODE on this page's address), with a button that
// copies the link. ?room=CODE joins as player two, ?watch=CODE watches. The game tells the room
// through window.rinkOnline = {code, seat} and a "rinkroom" event; once the game has ended, the
// panel says so.
'use strict';

window.rinkOnline = {code: '', seat: 0};

(() => {
  const asked = new URLSearchParams(location.search);
  const playOnline = document.getElementById('play-online');
  const roomText = document.getElementById('room-text');
  const link = document.getElementById('room-link');
  const copy = document.getElementById('copy-link');
  const role = asked.has('online') ? 'create' : asked.has('room') ? 'join' : asked.has('watch') ? 'watch' : '';

  // This page's address asking NAME=VALUE of online play, with the relay it names, if any, and
  // no other option.
  function onlineAddress(name, value) {
    const options = new URLSearchParams();
    if (asked.has('relay')) options.set('relay', asked.get('relay'));
    options.set(name, value);
    return location.pathname + '?' + options.toString();
  }

  playOnline.addEventListener('click', () => location.assign(onlineAddress('online', '1')));

  // The online buttons answer Return and Space when they have the focus, before the game takes
  // those keys as its own.
  window.addEventListener('keydown', event => {
    if (event.target !== playOnline && event.target !== copy) return;
    if (event.code !== 'Enter' && event.code !== 'Space') return;
    event.stopImmediatePropagation();
    event.preventDefault();
    if (!event.repeat) event.target.click();
  }, {capture: true});

  if (!role) return;
  document.body.classList.add('online');
  document.getElementById('players').hidden = true;
  playOnline.textContent = 'New online room';
  roomText.hidden = false;
  roomText.textContent = role === 'watch' ? 'Watching a match\u2026' : 'Connecting to the relay\u2026';

  // The page's loop tells the game's state to rink-page.js; the panel follows its end too.
  const followState = Module.onRinkState;
  Module.onRinkState = status => {
    followState(status);
    if (status.state !== 'ended') return;
    const {code} = window.rinkOnline;
    roomText.textContent = code ? `Room ${code}: the match has ended.` : 'Not in a room.';
    link.hidden = copy.hidden = true;
  };

  window.addEventListener('rinkroom', ({detail: {code, seat}}) => {
    if (seat === 1) {
      roomText.textContent = `Room ${code}: you are player one. A friend joins with the code or the link.`;
      link.value = new URL(onlineAddress('room', code), location.href).href;
      link.hidden = copy.hidden = false;
    } else {
      roomText.textContent = seat === 2 ? `Room ${code}: you are player two.` : `Watching room ${code}.`;
    }
    fitPicture();
  });

  // The button says whether the link is in the clipboard; where the browser does not let it be,
  // the link shows, selected, to be copied by hand.
  copy.addEventListener('click', () => {
    const byHand = () => {
      document.getElementById('online').classList.add('by-hand');
      link.select();
      copy.textContent = 'Copy the selected link';
    };
    if (!navigator.clipboard) return byHand();
    navigator.clipboard.writeText(link.value).then(() => {
      copy.textContent = 'Link copied';
      screen.focus();  // Space and Return go back to the game, as after the page's other buttons
    }, byHand);
  });
})();
