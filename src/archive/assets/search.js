// The archive's search: finds a phrase, exactly as typed, in the subjects,
// names, IDs and bodies of every message, while the user types. Browsers
// load no data from file:// except through classic <script> elements, so
// the index is scripts (search/) that call window.tavSearch, loaded when a
// query needs them: the shards of the query's character pairs first, then
// the texts of the candidates, to confirm the phrase.
(function () {
  'use strict';
  var here = document.currentScript;
  var root = here.src.replace(/search\.js(?:[?#].*)?$/, '');
  var DIGITS = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_';
  var digitValue = {};
  for (var d = 0; d < DIGITS.length; d++) digitValue[DIGITS.charAt(d)] = d;
  var SHOW = 50;        // results shown at once
  var AHEAD = 4;        // text shards loaded ahead while confirming

  var meta = null;
  var pairShards = {};  // shard number -> {pair: encoded list}
  var textShards = {};  // shard number -> [[section, stem, subject, name, id, date, body]]
  var pending = {};     // script path -> Promise
  var run = 0;          // the current query's number: older ones stop

  window.tavSearch = {
    meta: function (m) { meta = m; },
    pairs: function (n, data) { pairShards[n] = data; },
    texts: function (n, list) { textShards[n] = list; }
  };

  function load(path) {
    if (!pending[path]) {
      pending[path] = new Promise(function (resolve, reject) {
        var s = document.createElement('script');
        s.src = root + path;
        s.onload = function () { resolve(); };
        s.onerror = function () { delete pending[path]; reject(new Error(path)); };
        document.head.appendChild(s);
      });
    }
    return pending[path];
  }

  function shardOf(unit) {
    return Math.imul(unit, 0x9E3779B1) >>> (32 - meta.pairBits);
  }

  function decode(text) {
    var out = [], value = 0, shift = 0, at = -1;
    for (var i = 0; i < text.length; i++) {
      var digit = digitValue[text.charAt(i)];
      value += (digit & 31) * Math.pow(2, shift);
      if (digit & 32) {
        shift += 5;
      } else {
        at += value;
        out.push(at);
        value = 0;
        shift = 0;
      }
    }
    return out;
  }

  function intersect(a, b) {
    var out = [], i = 0, j = 0;
    while (i < a.length && j < b.length) {
      if (a[i] < b[j]) i++;
      else if (a[i] > b[j]) j++;
      else { out.push(a[i]); i++; j++; }
    }
    return out;
  }

  // The messages that may hold `query`: those holding all of its pairs
  // (for one character, any pair that begins with it).
  function candidates(query) {
    var shards = {};
    for (var i = 0; i < Math.max(1, query.length - 1); i++) shards[shardOf(query.charCodeAt(i))] = true;
    var loads = Object.keys(shards).map(function (n) { return load('search/p/' + n + '.js'); });
    return Promise.all(loads).then(function () {
      if (query.length === 1) {
        var data = pairShards[shardOf(query.charCodeAt(0))];
        var seen = {}, all = [];
        Object.keys(data).forEach(function (pair) {
          if (pair.charAt(0) !== query) return;
          decode(data[pair]).forEach(function (m) {
            if (!seen[m]) { seen[m] = true; all.push(m); }
          });
        });
        return all.sort(function (a, b) { return a - b; });
      }
      var lists = [];
      for (var k = 0; k + 1 < query.length; k++) {
        var pair = query.substr(k, 2);
        var encoded = pairShards[shardOf(query.charCodeAt(k))][pair];
        if (encoded === undefined) return [];
        lists.push(encoded);
      }
      lists.sort(function (a, b) { return a.length - b.length; });
      var result = decode(lists[0]);
      for (var l = 1; l < lists.length && result.length; l++) result = intersect(result, decode(lists[l]));
      return result;
    });
  }

  // --- What the user sees ---

  var input, region, list, status, more;

  function element(name, className, text) {
    var e = document.createElement(name);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  function setUp() {
    input = document.getElementById('q');
    region = document.getElementById('search-results');
    if (!input || !region) return;
    var heading = element('h2', '', '検索結果');
    heading.id = 'search-heading';
    status = element('p', 'status');
    status.setAttribute('role', 'status');
    list = element('ol');
    more = element('button', '', 'さらに表示');
    more.type = 'button';
    var close = element('button', '', '閉じる');
    close.type = 'button';
    region.appendChild(heading);
    region.appendChild(status);
    region.appendChild(list);
    region.appendChild(more);
    region.appendChild(close);
    var timer = 0;
    input.addEventListener('input', function () {
      // What is shown answers an older query: gone at once, and the new
      // one asked once the typing pauses.
      clearTimeout(timer);
      run++;
      list.textContent = '';
      more.hidden = true;
      status.textContent = '';
      timer = setTimeout(function () { search(input.value); }, 120);
    });
    input.form.addEventListener('submit', function (event) {
      event.preventDefault();
      clearTimeout(timer);
      search(input.value);
    });
    input.addEventListener('keydown', function (event) {
      if (event.key === 'Escape') { input.value = ''; search(''); }
    });
    close.addEventListener('click', function () { input.value = ''; search(''); input.focus(); });
    var asked = new URLSearchParams(location.search).get('q');
    if (asked) { input.value = asked; search(asked); }
  }

  function show(result, query) {
    var entry = result.entry;
    var section = meta.sections[entry[0]];
    var item = element('li');
    var link = element('a', 'subject', entry[2] || '（件名なし）');
    link.href = root + 'f/' + section[0] + '/m/' + entry[1] + '.html';
    item.appendChild(link);
    item.appendChild(document.createTextNode(' '));
    item.appendChild(element('span', 'who', entry[3] || '（名前なし）'));
    item.appendChild(document.createTextNode(' '));
    item.appendChild(element('span', 'when', (entry[5] || '日付なし') + ' ・ ' + section[1]));
    var snippet = element('p', 'snippet');
    var text = result.text, at = result.at;
    var start = Math.max(0, at - 30), end = Math.min(text.length, at + query.length + 50);
    snippet.appendChild(document.createTextNode((start > 0 ? '…' : '') + text.slice(start, at).replace(/\n/g, ' ')));
    snippet.appendChild(element('mark', '', text.substr(at, query.length)));
    snippet.appendChild(document.createTextNode(text.slice(at + query.length, end).replace(/\n/g, ' ') + (end < text.length ? '…' : '')));
    item.appendChild(snippet);
    list.appendChild(item);
  }

  function search(raw) {
    var query = raw.trim();
    var mine = ++run;
    list.textContent = '';
    more.hidden = true;
    if (!query) { region.hidden = true; return; }
    region.hidden = false;
    status.textContent = '「' + query + '」を探しています…';
    var found = 0, next = 0, ids = [];

    function confirm(limit) {
      // Confirms candidates in order, a text shard at a time, until `limit`
      // more results are shown or none is left.
      var target = found + limit;
      function step() {
        if (mine !== run) return;
        if (next >= ids.length || found >= target) {
          var done = next >= ids.length;
          status.textContent = '「' + query + '」: ' + found + ' 件' + (done ? '' : '以上');
          more.hidden = done;
          return;
        }
        var shard = Math.floor(ids[next] / meta.perText);
        for (var a = 1; a <= AHEAD; a++) {
          var later = shard + a;
          if (later < meta.texts) load('search/t/' + later + '.js').catch(function () {});
        }
        load('search/t/' + shard + '.js').then(function () {
          if (mine !== run) return;
          var texts = textShards[shard];
          while (next < ids.length && Math.floor(ids[next] / meta.perText) === shard && found < target) {
            var entry = texts[ids[next] % meta.perText];
            var text = entry[2] + '\n' + entry[3] + '\n' + entry[4] + '\n' + entry[6];
            var at = text.indexOf(query);
            if (at >= 0) { show({ entry: entry, text: text, at: at }, query); found++; }
            next++;
          }
          status.textContent = '「' + query + '」: ' + found + ' 件（探しています…）';
          step();
        }, fail);
      }
      step();
    }
    function fail() {
      if (mine === run) status.textContent = '検索用のファイルを読み込めませんでした。';
    }
    more.onclick = function () { confirm(SHOW); };

    load('search/meta.js').then(function () {
      if (mine !== run) return;
      return candidates(query).then(function (result) {
        if (mine !== run) return;
        ids = result;
        confirm(SHOW);
      });
    }).catch(fail);
  }

  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', setUp);
  else setUp();
})();
