#!/usr/bin/env python3
"""Writes a reproducible corpus of switcher-like lines (window titles, browser tab titles and
addresses, application names and file paths, a few in other scripts) to standard output."""

import random
import sys

APPS = ["Google Chrome", "Firefox", "Terminal", "Visual Studio Code", "Slack", "Thunderbird",
        "Files", "LibreOffice Writer", "GIMP", "Inkscape", "Spotify", "Zoom", "Calendar",
        "Text Editor", "System Monitor", "Signal", "Obsidian", "Krita"]
WORDS = ["README.md", "main.cpp", "Inbox", "Pull request", "#4821", "Budget", "2024.xlsx",
         "Meeting", "notes", "Project", "roadmap", "Design", "review", "build", "failed",
         "Settings", "Docs", "API", "search", "results", "weather", "invoice", "draft",
         "Release", "v2.3.1", "issue", "Dashboard", "Welcome", "Chapter", "Untitled", "report",
         "kernel", "logs", "deploy", "config.yaml", "test_runner.py", "index.html", "photos"]
OTHER = ["Réunion", "Été", "北京", "テスト", "Straße", "🎉", "café", "Москва", "한국어"]
HOSTS = ["github.com", "www.google.com", "news.ycombinator.com", "en.wikipedia.org",
         "docs.example.org", "mail.example.com", "stackoverflow.com", "www.youtube.com"]
DIRS = ["src", "include", "docs", "tests", "build", "assets", "lib", "scripts", "home", "work"]


def title(rng):
    words = []
    for _ in range(rng.randint(2, 6)):
        words.append(rng.choice(OTHER) if rng.random() < 0.05 else rng.choice(WORDS))
    return rng.choice([" ", " - ", " — "]).join(words)


def line(rng):
    kind = rng.random()
    if kind < 0.35:
        return f"{rng.choice(APPS)} :: {title(rng)}"
    if kind < 0.6:
        return f"{title(rng)} https://{rng.choice(HOSTS)}/{rng.choice(WORDS)}/{rng.randint(1, 99999)}"
    if kind < 0.9:
        parts = [rng.choice(DIRS) for _ in range(rng.randint(1, 5))]
        return "/" + "/".join(parts) + "/" + rng.choice(WORDS).replace(" ", "_")
    return rng.choice(APPS)


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 100000
    rng = random.Random(2027)
    out = sys.stdout
    for _ in range(count):
        out.write(line(rng) + "\n")


if __name__ == "__main__":
    main()
