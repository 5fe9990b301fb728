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
    if (data.all || data.changed.indexOf(page) >= 0 || data.removed.indexOf(page) >= 0) reload();
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
