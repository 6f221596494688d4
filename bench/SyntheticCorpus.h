#pragma once
// A made-up but realistic desktop for benchmarks: windows, browser tabs (titles and addresses)
// and applications, generated from a fixed seed so every run measures the same list.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "model/SwitchItem.h"

namespace vantlo::bench {

class SyntheticCorpus {
  public:
    explicit SyntheticCorpus(std::uint32_t seed = 2027) : random_(seed) {}

    // `count` items: about half windows, a third tabs, the rest applications.
    std::vector<SwitchItem> items(std::size_t count) {
        std::vector<SwitchItem> result;
        result.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            unsigned kind = random_() % 6;
            if (kind < 3)
                result.emplace_back(window());
            else if (kind < 5)
                result.emplace_back(tab());
            else
                result.emplace_back(app());
        }
        return result;
    }

    WindowItem window() {
        WindowItem w;
        w.id = Uuid::random();
        w.appName = pick(kApps);
        w.appBundleID = "org.example." + w.appName.substr(0, w.appName.find(' '));
        w.title = title();
        return w;
    }

    TabItem tab() {
        TabItem t;
        t.id = Uuid::random();
        t.browserBundleID = "com.google.Chrome";
        t.browserAppName = "Google Chrome";
        t.title = title();
        t.url = "https://" + pick(kHosts) + "/" + pick(kWords) + "/" +
                std::to_string(random_() % 100000);
        t.windowIndex = 1 + random_() % 4;
        t.tabIndex = 1 + random_() % 40;
        return t;
    }

    AppItem app() {
        AppItem a;
        a.id = Uuid::random();
        a.name = pick(kApps);
        a.bundleID = "org.example." + a.name.substr(0, a.name.find(' '));
        a.path = "/usr/share/applications/" + a.bundleID + ".desktop";
        return a;
    }

    // A window or tab title: a few words, now and then in another script or with an emoji.
    std::string title() {
        std::string text;
        unsigned words = 2 + random_() % 5;
        for (unsigned w = 0; w < words; ++w) {
            if (w)
                text += random_() % 4 == 0 ? " - " : " ";
            text += random_() % 20 == 0 ? pick(kUnicodeWords) : pick(kWords);
        }
        return text;
    }

  private:
    template <std::size_t N>
    std::string pick(const char* const (&list)[N]) {
        return list[random_() % N];
    }

    static constexpr const char* kApps[] = {
        "Google Chrome", "Firefox",     "Terminal",    "Visual Studio Code",
        "Slack",         "Thunderbird", "Files",       "LibreOffice Writer",
        "GIMP",          "Inkscape",    "Spotify",     "Zoom",
        "Calendar",      "Calculator",  "Text Editor", "System Monitor",
        "Signal",        "Obsidian"};
    static constexpr const char* kWords[] = {
        "README.md", "main.cpp", "Inbox",   "Pull request", "#4821",  "Budget",    "2024.xlsx",
        "Meeting",   "notes",    "Project", "roadmap",      "Design", "review",    "build",
        "failed",    "Settings", "Docs",    "API",          "search", "results",   "weather",
        "invoice",   "draft",    "Release", "v2.3.1",       "issue",  "Dashboard", "Welcome",
        "Chapter",   "Untitled", "report",  "kernel",       "logs",   "deploy",    "Calendar"};
    static constexpr const char* kUnicodeWords[] = {
        "R\xC3\xA9union",
        "\xC3\x89t\xC3\xA9",
        "\xE5\x8C\x97\xE4\xBA\xAC",
        "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88",
        "Stra\xC3\x9F"
        "e",
        "\xF0\x9F\x8E\x89",
        "cafe\xCC\x81",
        "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"};
    static constexpr const char* kHosts[] = {
        "github.com",       "www.google.com",   "news.ycombinator.com", "en.wikipedia.org",
        "docs.example.org", "mail.example.com", "stackoverflow.com",    "www.youtube.com"};

    std::mt19937 random_;
};

}  // namespace vantlo::bench
