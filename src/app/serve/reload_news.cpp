#include "app/serve/reload_news.h"

#include <algorithm>
#include <set>

#include "html/json_export.h"
#include "model/text_rules.h"

namespace glossator {

namespace {

// Beyond this many files a page is simply told that anything may have changed.
constexpr size_t kMostNamed = 2000;

void AppendList(std::string& out, const std::vector<std::string>& names) {
  out += '[';
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += ',';
    AppendJsonString(out, names[i]);
  }
  out += ']';
}

std::string NewsJson(const BuildNews& news) {
  bool all = news.all || news.changed.size() + news.removed.size() > kMostNamed;
  std::string json = "{\"build\":" + std::to_string(news.build) + ",\"all\":";
  json += all ? "true" : "false";
  json += ",\"changed\":";
  AppendList(json, all ? std::vector<std::string>() : news.changed);
  json += ",\"removed\":";
  AppendList(json, all ? std::vector<std::string>() : news.removed);
  json += ",\"problems\":[";
  for (size_t i = 0; i < news.problems.size(); ++i) {
    const Warning& problem = news.problems[i];
    if (i > 0) json += ',';
    json += "{\"file\":";
    AppendJsonString(json, problem.file);
    json += ",\"line\":" + std::to_string(problem.line) + ",\"text\":";
    AppendJsonString(json, problem.text);
    json += '}';
  }
  json += "]}";
  return json;
}

// The script, with "BUILD" standing for the build the page was served from. It never throws
// into the page: a page without sessionStorage or EventSource simply does not reload.
//
// When the page it shows changed, a page with a <main> element fetches its new text and, when
// everything around <main> (the head, the header, the sidebar) is as it was, puts the new <main>
// in place of the old one. That keeps the scroll position and skips the browser's whole
// navigation (tearing down the page, a new script context, the page's own script, layout from
// nothing), which takes several times as long as the swap. Anything else reloads the page, and
// so does a failed fetch. The window hears "glossator-updated" after each swap.
constexpr std::string_view kScript = R"JS(<script>(function () {
  if (window.glossatorLive || !window.EventSource) return;
  window.glossatorLive = true;
  var page = decodeURIComponent(location.pathname.replace(/^\/+/, ''));
  if (page === '' || page.slice(-1) === '/') page += 'index.html';
  var key = 'glossator-scroll ' + location.pathname;
  try {
    var saved = sessionStorage.getItem(key);
    if (saved) {
      sessionStorage.removeItem(key);
      var at = JSON.parse(saved);
      var restore = function () { window.scrollTo(at[0], at[1]); };
      if (document.readyState === 'complete') restore(); else addEventListener('load', restore);
    }
  } catch (e) {}
  var source = new EventSource('/__glossator/events?since=BUILD');
  function reload() {
    try { sessionStorage.setItem(key, JSON.stringify([scrollX, scrollY])); } catch (e) {}
    source.close();
    location.reload();
  }
  // The page around its <main>, as text: the title, the head, and the elements beside <main>
  // and beside each of its ancestors. Scripts and blank text are left out: this script is in
  // the page, and the page's own script adds to it after this runs.
  function around(d) {
    var main = d.querySelector('main');
    if (!main || !d.head || !d.body) return null;
    var parts = [d.title, d.head.innerHTML];
    for (var node = main; node !== d.body; node = node.parentNode) {
      if (!node.parentNode) return null;
      for (var c = node.parentNode.firstChild; c; c = c.nextSibling) {
        if (c === node) parts.push('<main>');
        else if (c.nodeType === 1 && c.tagName !== 'SCRIPT' && c.id !== 'glossator-live-problems') {
          parts.push(c.outerHTML);
        }
        else if (c.nodeType === 3 && c.data.trim()) parts.push(c.data);
      }
    }
    return parts.join('\n');
  }
  // The search page fills its <main> with results: it is reloaded, as pages without <main> are.
  var frame = document.characterSet === 'UTF-8' && window.fetch && window.DOMParser &&
      !document.getElementById('g-found') ? around(document) : null;
  var fetching = false, again = false;
  function update() {
    if (frame === null) return reload();
    if (fetching) { again = true; return; }
    fetching = true;
    fetch(location.pathname + location.search, { cache: 'no-store' }).then(function (response) {
      return response.ok ? response.text() : null;
    }).then(function (text) {
      fetching = false;
      var fresh = text === null ? null : new DOMParser().parseFromString(text, 'text/html');
      if (!fresh || around(fresh) !== frame) return reload();
      document.querySelector('main').replaceWith(document.adoptNode(fresh.querySelector('main')));
      dispatchEvent(new Event('glossator-updated'));
      if (again) { again = false; update(); }
    }).catch(function () { fetching = false; reload(); });
  }
  function show(problems) {
    var box = document.getElementById('glossator-live-problems');
    if (!problems.length) { if (box) box.remove(); return; }
    if (!box) {
      box = document.createElement('div');
      box.id = 'glossator-live-problems';
      box.setAttribute('role', 'alert');
      box.style.cssText = 'position:fixed;z-index:2147483647;left:0;right:0;top:0;' +
        'max-height:60vh;overflow:auto;padding:12px 40px 12px 16px;background:#fff0f0;' +
        'color:#600;border-bottom:3px solid #c00;font:13px/1.4 monospace;white-space:pre-wrap';
      var close = document.createElement('button');
      close.textContent = '\u00d7';
      close.setAttribute('aria-label', 'Close');
      close.style.cssText = 'position:absolute;right:8px;top:8px;font-size:18px';
      close.onclick = function () { box.remove(); };
      box.appendChild(close);
      box.appendChild(document.createElement('div'));
      (document.body || document.documentElement).appendChild(box);
    }
    box.lastChild.textContent = 'Problems in the files just read:\n\n' + problems.map(function (p) {
      return (p.file ? p.file + (p.line ? ':' + p.line : '') + ': ' : '') + p.text;
    }).join('\n');
  }
  function news(event) {
    var data = JSON.parse(event.data);
    show(data.problems);
    if (data.removed.indexOf(page) >= 0) reload();
    else if (data.all || data.changed.indexOf(page) >= 0) update();
  }
  source.addEventListener('state', news);
  source.addEventListener('change', news);
})();</script>
)JS";

}  // namespace

std::string NewsEvent(std::string_view name, const BuildNews& news) {
  std::string event = "event: ";
  event.append(name).append("\ndata: ").append(NewsJson(news)).append("\n\n");
  return event;
}

std::string NewsHistory::Add(BuildNews news) {
  news.build = ++current_;
  problems_ = news.problems;
  std::string event = NewsEvent("change", news);
  recent_.push_back(std::move(news));
  if (recent_.size() > kKept) recent_.pop_front();
  return event;
}

std::string NewsHistory::StateEvent(uint64_t since) const {
  BuildNews state;
  state.build = current_;
  state.problems = problems_;
  bool known = since <= current_ &&
               (since == current_ || (!recent_.empty() && recent_.front().build <= since + 1));
  if (!known) {
    state.all = true;
  } else {
    std::set<std::string> changed, removed;
    for (const BuildNews& news : recent_) {
      if (news.build <= since) continue;
      state.all = state.all || news.all;
      changed.insert(news.changed.begin(), news.changed.end());
      removed.insert(news.removed.begin(), news.removed.end());
    }
    state.changed.assign(changed.begin(), changed.end());
    state.removed.assign(removed.begin(), removed.end());
  }
  return NewsEvent("state", state);
}

std::string ReloadScript(uint64_t build) {
  std::string script(kScript);
  size_t at = script.find("BUILD");
  script.replace(at, 5, std::to_string(build));
  return script;
}

std::string WithReloadScript(std::string_view html, uint64_t build) {
  // The last "</body": a comment or a script of the page may hold the text earlier.
  size_t at = html.size();
  for (size_t i = html.size(); i-- > 0;) {
    if (html[i] == '<' && EqualsNoCase(html.substr(i, 6), "</body")) {
      at = i;
      break;
    }
  }
  std::string out;
  std::string script = ReloadScript(build);
  out.reserve(html.size() + script.size());
  out.append(html.substr(0, at)).append(script).append(html.substr(at));
  return out;
}

}  // namespace glossator
