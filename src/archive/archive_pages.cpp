#include "archive/archive_pages.h"

#include <algorithm>
#include <array>

#include "archive/display_text.h"
#include "archive/html_writer.h"

namespace tav {

namespace {

using Field = ArchiveMessage::Field;

constexpr std::string_view kArchiveTitle = "ログのアーカイブ";

// Where a page stands, for its relative links: the start page, a section's
// index, or a message or thread page.
enum class Depth { Top, Section, Leaf };

std::string_view RootPrefix(Depth depth) {
  switch (depth) {
    case Depth::Top:
      return "";
    case Depth::Section:
      return "../../";
    case Depth::Leaf:
      break;
  }
  return "../../../";
}

std::string SectionName(const ArchiveSection& section) {
  return VisibleUtf8(section.folderName);
}

// "2000-04-12 07:48" and its machine form "2000-04-12T07:48+09:00", for a
// valid date and time, shown in Japan Standard Time as they were written.
struct TimeTexts {
  std::string shown;
  std::string machine;
};
TimeTexts FormatTime(std::chrono::sys_seconds when) {
  using namespace std::chrono;
  const sys_seconds local = when + hours(9);
  const sys_days day = floor<days>(local);
  const year_month_day date{day};
  const hh_mm_ss<seconds> time{local - day};
  auto two = [](long value) {
    return std::string{static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
  };
  const int year = int(date.year());
  std::string ymd = std::to_string(year);
  ymd.insert(0, ymd.size() < 4 ? 4 - ymd.size() : 0, '0');
  ymd += "-" + two(unsigned(date.month())) + "-" + two(unsigned(date.day()));
  const std::string hm = two(time.hours().count()) + ":" + two(time.minutes().count());
  return {ymd + " " + hm, ymd + "T" + hm + "+09:00"};
}

void WriteTime(HtmlWriter& html, std::optional<std::chrono::sys_seconds> when) {
  if (!when) {
    html << "日付なし";
    return;
  }
  const TimeTexts texts = FormatTime(*when);
  html << "<time datetime=\"";
  html.Text(texts.machine) << "\">";
  html.Text(texts.shown) << "</time>";
}

std::string DateText(const ArchiveMessage& message) {
  return std::string(message.field(Field::Date)) + " " + std::string(message.field(Field::Time));
}

// The date of a message: its valid date and time, or what the log gives.
void WriteDate(HtmlWriter& html, const ArchiveMessage& message) {
  if (const auto when = message.When()) return WriteTime(html, when);
  const std::string given = DisplayText(TrimBlanks(DateText(message)));
  if (given.empty()) {
    html << "日付なし";
  } else {
    html.Text(given);
  }
}

std::string MessageHref(std::string_view fromFolder, const ArchiveMessage& message) {
  return std::string(fromFolder) + std::string(message.stem()) + ".html";
}

// The opening of every page, up to the start of its main content.
void Head(HtmlWriter& html, Depth depth, std::string_view title,
          const std::vector<std::pair<std::string, std::string>>& crumbs,
          std::string_view extraHead = {}) {
  const std::string_view root = RootPrefix(depth);
  html << "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
          "<meta name=\"color-scheme\" content=\"light dark\">\n<title>";
  html.Text(title) << "</title>\n<link rel=\"stylesheet\" href=\"";
  html.Text(root) << "archive.css\">\n<script src=\"";
  html.Text(root) << "search.js\" defer></script>\n";
  html.out() += extraHead;  // made by this file alone
  html << "</head>\n<body>\n<a class=\"skip\" href=\"#main\">本文へ移動</a>\n"
          "<header class=\"site\">\n<p class=\"home\"><a href=\"";
  html.Text(root) << "index.html\">";
  html.Text(kArchiveTitle) << "</a></p>\n<form class=\"search\" role=\"search\" action=\"";
  html.Text(root)
      << "search.html\">\n<label for=\"q\">検索</label>\n"
         "<input id=\"q\" name=\"q\" type=\"search\" autocomplete=\"off\" "
         "placeholder=\"件名・名前・本文の語句\">\n</form>\n</header>\n"
         "<section id=\"search-results\" class=\"search-results\" aria-label=\"検索結果\" hidden>"
         "</section>\n";
  if (!crumbs.empty()) {
    html << "<nav class=\"crumbs\" aria-label=\"現在地\">\n<ol>\n";
    for (std::size_t i = 0; i < crumbs.size(); ++i) {
      if (i + 1 == crumbs.size()) {
        html << "<li aria-current=\"page\">";
        html.Text(crumbs[i].first) << "</li>\n";
      } else {
        html << "<li><a href=\"";
        html.Text(crumbs[i].second) << "\">";
        html.Text(crumbs[i].first) << "</a></li>\n";
      }
    }
    html << "</ol>\n</nav>\n";
  }
  html << "<main id=\"main\">\n";
}

void Foot(HtmlWriter& html) {
  html << "</main>\n<footer class=\"site\">\n<p>パソコン通信のログから tavconv "
          "が作成しました。</p>\n"
          "</footer>\n</body>\n</html>\n";
}

std::vector<std::pair<std::string, std::string>> SectionCrumbs(const ArchiveSection& section,
                                                               Depth depth) {
  const std::string root(RootPrefix(depth));
  return {{std::string(kArchiveTitle), root + "index.html"},
          {SectionName(section), depth == Depth::Leaf ? "../index.html" : "index.html"}};
}

}  // namespace

std::string IndexFile(IndexKind kind, std::size_t page) {
  std::string name;
  switch (kind) {
    case IndexKind::Threads:
      if (page == 1) return "index.html";
      name = "threads";
      break;
    case IndexKind::ByNumber:
      name = "by-number";
      break;
    case IndexKind::ByDate:
      name = "by-date";
      break;
    case IndexKind::BySender:
      name = "by-sender";
      break;
  }
  if (page > 1) name += "-" + std::to_string(page);
  return name + ".html";
}

void ArchivePages::MessagePage(std::uint32_t ordinal, std::string_view body,
                               std::string& out) const {
  const ArchiveMessage& message = model_.messages[ordinal];
  const ArchiveSection& section = model_.sections[message.section];
  const std::string subject = std::string(Subject(ordinal));
  HtmlWriter html(out);
  auto crumbs = SectionCrumbs(section, Depth::Leaf);
  crumbs.push_back({std::string(Number(ordinal)), ""});
  Head(html, Depth::Leaf,
       subject + " — " + SectionName(section) + " — " + std::string(kArchiveTitle), crumbs);

  html << "<article class=\"message\">\n<h1>";
  html.Text(subject) << "</h1>\n<dl class=\"fields\">\n<dt>番号</dt><dd>";
  html.Text(Number(ordinal)) << "</dd>\n<dt>差出人</dt><dd>";
  html.Text(Name(ordinal));
  if (const std::string_view id = Id(ordinal); !id.empty()) {
    html << " <span class=\"id\">";
    html.Text(id) << "</span>";
  }
  html << "</dd>\n<dt>日時</dt><dd>";
  WriteDate(html, message);
  html << "</dd>\n";
  if (!message.field(Field::RefNo).empty()) {
    html << "<dt>返信先</dt><dd>";
    if (message.parent != kNoMessage) {
      const ArchiveMessage& parent = model_.messages[static_cast<std::uint32_t>(message.parent)];
      html << "<a href=\"";
      html.Text(MessageHref("", parent)) << "\">";
      html.Text(Number(static_cast<std::uint32_t>(message.parent))) << " ";
      html.Text(Subject(static_cast<std::uint32_t>(message.parent))) << "</a>";
    } else {
      html.Text(DisplayText(message.field(Field::RefNo))) << "（このアーカイブにはありません）";
    }
    html << "</dd>\n";
  }
  const std::vector<std::uint32_t> replies = threads_.Replies(ordinal);
  if (!replies.empty()) {
    html << "<dt>返信</dt><dd><ul class=\"replies\">\n";
    for (const std::uint32_t reply : replies) {
      const ArchiveMessage& other = model_.messages[reply];
      html << "<li><a href=\"";
      html.Text(MessageHref("", other)) << "\">";
      html.Text(Number(reply)) << " ";
      html.Text(Subject(reply)) << "</a> ";
      html.Text(Name(reply)) << "</li>\n";
    }
    html << "</ul></dd>\n";
  }
  html << "</dl>\n<pre class=\"body\">";
  html.TextWithLinks(body) << "</pre>\n</article>\n";

  std::int32_t root = threads_.Root(ordinal);
  if (root == kNoMessage) root = static_cast<std::int32_t>(ordinal);
  const ArchiveMessage& rootMessage = model_.messages[static_cast<std::uint32_t>(root)];
  html << "<nav class=\"message-nav\" aria-label=\"メッセージの移動\">\n<ul>\n<li><a href=\"../t/";
  html.Text(rootMessage.stem()) << ".html#m-";
  html.Text(message.stem()) << "\">スレッド全体を読む</a></li>\n";
  auto neighbour = [&](std::int32_t other, std::string_view rel, Markup label) {
    html << "<li>";
    if (other == kNoMessage) {
      html << "<span class=\"none\">" << label << "：なし</span>";
    } else {
      html << "<a href=\"";
      html.Text(MessageHref("", model_.messages[static_cast<std::uint32_t>(other)]));
      html << "\"";
      if (!rel.empty()) {
        html << " rel=\"";
        html.Text(rel) << "\"";
      }
      html << ">" << label << "：";
      html.Text(Number(static_cast<std::uint32_t>(other))) << "</a>";
    }
    html << "</li>\n";
  };
  neighbour(threads_.PreviousInThread(ordinal), "", "スレッドの前");
  neighbour(threads_.NextInThread(ordinal), "", "スレッドの次");
  neighbour(threads_.PreviousByNumber(ordinal), "prev", "番号順の前");
  neighbour(threads_.NextByNumber(ordinal), "next", "番号順の次");
  html << "<li><a href=\"";
  html.Text(message.stem()) << ".eml\" type=\"message/rfc822\">メールの形式で開く (.eml)</a></li>\n"
                               "</ul>\n</nav>\n";
  Foot(html);
}

void ArchivePages::ThreadPageStart(std::uint32_t root, const ThreadSummary& summary,
                                   std::string& out) const {
  const ArchiveMessage& message = model_.messages[root];
  const ArchiveSection& section = model_.sections[message.section];
  const std::string subject = std::string(Subject(root));
  HtmlWriter html(out);
  auto crumbs = SectionCrumbs(section, Depth::Leaf);
  crumbs.push_back({"スレッド " + std::string(Number(root)), ""});
  Head(html, Depth::Leaf,
       "スレッド：" + subject + " — " + SectionName(section) + " — " + std::string(kArchiveTitle),
       crumbs);
  html << "<h1><span class=\"label\">スレッド：</span>";
  html.Text(subject) << "</h1>\n<p class=\"summary\">";
  html.Number(summary.messages) << " 件のメッセージ、最新 ";
  WriteTime(html, summary.latest);
  html << "</p>\n";
  if (!message.field(Field::RefNo).empty()) {
    html << "<p class=\"orphan\">";
    html.Text(DisplayText(message.field(Field::RefNo)))
        << " への返信です（元のメッセージはこのアーカイブにはありません）。</p>\n";
  }
}

void ArchivePages::ThreadPageMessage(std::uint32_t ordinal, std::string_view body,
                                     std::string& out) const {
  const ArchiveMessage& message = model_.messages[ordinal];
  HtmlWriter html(out);
  html << "<article class=\"msg\" id=\"m-";
  html.Text(message.stem()) << "\" style=\"--depth:";
  html.Number(threads_.Depth(ordinal)) << "\">\n<header>\n<h2><a href=\"../m/";
  html.Text(message.stem()) << ".html\">";
  html.Text(Subject(ordinal)) << "</a></h2>\n<p class=\"meta\"><span class=\"num\">";
  html.Text(Number(ordinal)) << "</span> <span class=\"who\">";
  html.Text(Name(ordinal));
  if (const std::string_view id = Id(ordinal); !id.empty()) {
    html << " <span class=\"id\">";
    html.Text(id) << "</span>";
  }
  html << "</span> ";
  WriteDate(html, message);
  if (message.parent != kNoMessage && threads_.Depth(ordinal) > 0) {
    const ArchiveMessage& parent = model_.messages[static_cast<std::uint32_t>(message.parent)];
    html << " <span class=\"reply-to\">返信先 <a href=\"#m-";
    html.Text(parent.stem()) << "\">";
    html.Text(Number(static_cast<std::uint32_t>(message.parent))) << "</a></span>";
  }
  html << "</p>\n</header>\n<pre class=\"body\">";
  html.TextWithLinks(body) << "</pre>\n</article>\n";
}

void ArchivePages::ThreadPageEnd(std::string& out) const {
  HtmlWriter html(out);
  Foot(html);
}

void ArchivePages::MovedThreadPage(std::uint32_t formerRoot, std::string& out) const {
  const ArchiveMessage& message = model_.messages[formerRoot];
  const ArchiveSection& section = model_.sections[message.section];
  std::int32_t root = threads_.Root(formerRoot);
  if (root == kNoMessage) root = static_cast<std::int32_t>(formerRoot);
  const ArchiveMessage& rootMessage = model_.messages[static_cast<std::uint32_t>(root)];
  const std::string target =
      std::string(rootMessage.stem()) + ".html#m-" + std::string(message.stem());
  std::string refresh;
  HtmlWriter meta(refresh);
  meta << "<meta http-equiv=\"refresh\" content=\"0; url=";
  meta.Text(target) << "\">\n";
  HtmlWriter html(out);
  auto crumbs = SectionCrumbs(section, Depth::Leaf);
  crumbs.push_back({"スレッド " + std::string(Number(formerRoot)), ""});
  Head(html, Depth::Leaf,
       "移動したスレッド — " + SectionName(section) + " — " + std::string(kArchiveTitle), crumbs,
       refresh);
  html << "<h1>このスレッドは別のスレッドの一部になりました</h1>\n<p><a href=\"";
  html.Text(target) << "\">";
  html.Text(Number(formerRoot)) << " ";
  html.Text(Subject(formerRoot)) << "</a> は、その元のメッセージが後から加わったため、スレッド「";
  html.Text(Subject(static_cast<std::uint32_t>(root))) << "」の中にあります。</p>\n";
  Foot(html);
}

void ArchivePages::IndexPage(std::uint32_t sectionIndex, IndexKind kind, std::size_t page,
                             std::size_t pages, std::string& out) const {
  const ArchiveSection& section = model_.sections[sectionIndex];
  static constexpr std::array<std::pair<IndexKind, std::string_view>, 4> kKinds = {{
      {IndexKind::Threads, "スレッド（新しい順）"},
      {IndexKind::ByNumber, "番号順"},
      {IndexKind::ByDate, "日付順（古い順）"},
      {IndexKind::BySender, "差出人順"},
  }};
  const std::string_view kindName =
      std::find_if(kKinds.begin(), kKinds.end(), [kind](const auto& k) {
        return k.first == kind;
      })->second;
  HtmlWriter html(out);
  auto crumbs = SectionCrumbs(section, Depth::Section);
  std::string pageName(kindName);
  if (pages > 1) pageName += "（" + std::to_string(page) + "/" + std::to_string(pages) + "ページ）";
  crumbs.push_back({pageName, ""});
  Head(html, Depth::Section,
       pageName + " — " + SectionName(section) + " — " + std::string(kArchiveTitle), crumbs);
  html << "<h1>";
  html.Text(SectionName(section))
      << "</h1>\n<nav class=\"tabs\" aria-label=\"一覧の種類\">\n<ul>\n";
  for (const auto& [other, name] : kKinds) {
    html << "<li><a href=\"";
    html.Text(IndexFile(other, 1)) << "\"";
    if (other == kind) html << " aria-current=\"page\"";
    html << ">";
    html.Text(name) << "</a></li>\n";
  }
  html << "</ul>\n</nav>\n<h2>";
  html.Text(pageName) << "</h2>\n";

  auto pager = [&](Markup label) {
    if (pages <= 1) return;
    html << "<nav class=\"pager\" aria-label=\"" << label << "\">\n<ul>\n";
    auto item = [&](std::size_t target, std::string_view text, std::string_view rel) {
      html << "<li>";
      if (target == page) {
        html << "<span aria-current=\"page\">";
        html.Text(text) << "</span>";
      } else {
        html << "<a href=\"";
        html.Text(IndexFile(kind, target)) << "\"";
        if (!rel.empty()) {
          html << " rel=\"";
          html.Text(rel) << "\"";
        }
        html << ">";
        html.Text(text) << "</a>";
      }
      html << "</li>\n";
    };
    if (page > 1) item(page - 1, "前へ", "prev");
    const std::size_t from = page > 5 ? page - 5 : 1;
    const std::size_t to = std::min(pages, page + 5);
    if (from > 1) item(1, "1", "");
    if (from > 2) html << "<li class=\"gap\">…</li>\n";
    for (std::size_t p = from; p <= to; ++p) item(p, std::to_string(p), "");
    if (to + 1 < pages) html << "<li class=\"gap\">…</li>\n";
    if (to < pages) item(pages, std::to_string(pages), "");
    if (page < pages) item(page + 1, "次へ", "next");
    html << "</ul>\n</nav>\n";
  };
  pager("ページ（上）");

  const std::size_t first = (page - 1) * kIndexPageSize;
  html << "<ul class=\"entries\">\n";
  if (kind == IndexKind::Threads) {
    const std::vector<ThreadSummary>& list = threads_.threads[sectionIndex];
    for (std::size_t k = first; k < std::min(list.size(), first + kIndexPageSize); ++k) {
      const ArchiveMessage& root = model_.messages[list[k].root];
      html << "<li><a class=\"subject\" href=\"t/";
      html.Text(root.stem()) << ".html\">";
      html.Text(Subject(list[k].root)) << "</a> <span class=\"count\">";
      html.Number(list[k].messages) << "件</span> <span class=\"who\">";
      html.Text(Name(list[k].root)) << "</span> <span class=\"when\">最新 ";
      WriteTime(html, list[k].latest);
      html << "</span></li>\n";
    }
  } else {
    const std::vector<std::uint32_t>& list =
        kind == IndexKind::ByNumber ? threads_.byNumber[sectionIndex]
        : kind == IndexKind::ByDate ? threads_.byDate[sectionIndex]
                                    : threads_.bySender[sectionIndex];
    for (std::size_t k = first; k < std::min(list.size(), first + kIndexPageSize); ++k) {
      const ArchiveMessage& message = model_.messages[list[k]];
      html << "<li><span class=\"num\">";
      html.Text(Number(list[k])) << "</span> <a class=\"subject\" href=\"";
      html.Text(MessageHref("m/", message)) << "\">";
      html.Text(Subject(list[k])) << "</a> <span class=\"who\">";
      html.Text(Name(list[k]));
      if (const std::string_view id = Id(list[k]); !id.empty()) {
        html << " <span class=\"id\">";
        html.Text(id) << "</span>";
      }
      html << "</span> <span class=\"when\">";
      WriteDate(html, message);
      html << "</span></li>\n";
    }
  }
  html << "</ul>\n";
  pager("ページ（下）");
  Foot(html);
}

void ArchivePages::StartPage(std::string& out) const {
  HtmlWriter html(out);
  Head(html, Depth::Top, kArchiveTitle, {});
  html << "<h1>";
  html.Text(kArchiveTitle) << "</h1>\n";
  if (model_.sections.empty()) {
    html << "<p>メッセージはまだありません。</p>\n";
  } else {
    html << "<table "
            "class=\"sections\">\n<caption>"
            "フォーラムとメールボックス（ログのファイル名で分けています）</caption>\n"
            "<thead><tr><th scope=\"col\">名前</th><th scope=\"col\">メッセージ</th>"
            "<th scope=\"col\">スレッド</th><th scope=\"col\">期間</th></tr></thead>\n<tbody>\n";
  }
  for (std::uint32_t s = 0; s < model_.sections.size(); ++s) {
    const std::vector<std::uint32_t>& dated = threads_.byDate[s];
    std::optional<std::chrono::sys_seconds> first, last;
    for (const std::uint32_t m : dated) {
      const auto when = model_.messages[m].When();
      if (!when) break;  // undated messages come last
      if (!first) first = when;
      last = when;
    }
    html << "<tr><th scope=\"row\"><a href=\"f/";
    html.Text(model_.sections[s].tag) << "/index.html\">";
    html.Text(SectionName(model_.sections[s])) << "</a></th><td>";
    html.Number(dated.size()) << "</td><td>";
    html.Number(threads_.threads[s].size()) << "</td><td>";
    if (first) {
      WriteTime(html, first);
      html << " ～ ";
      WriteTime(html, last);
    } else {
      html << "日付なし";
    }
    html << "</td></tr>\n";
  }
  if (!model_.sections.empty()) html << "</tbody>\n</table>\n";
  html << "<p "
          "class=\"hint\">どのページの検索欄でも、件名・名前・本文の語句をそのまま探せます。</p>\n";
  Foot(html);
}

void ArchivePages::SearchPage(std::string& out) const {
  HtmlWriter html(out);
  Head(html, Depth::Top, "検索 — " + std::string(kArchiveTitle),
       {{std::string(kArchiveTitle), "index.html"}, {"検索", ""}});
  html
      << "<h1>検索</h1>\n<p id=\"search-page\">上の検索欄に語句を入力すると、件名・名前・ID・本文に"
         "その語句をそのまま含むメッセージが表示されます。</p>\n"
         "<noscript><p>検索には JavaScript が必要です。</p></noscript>\n";
  Foot(html);
}

}  // namespace tav
