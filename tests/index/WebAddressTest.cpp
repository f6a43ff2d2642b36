#include "index/WebAddress.h"

#include "NodeReference.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace tamblin;

namespace {

std::string Json(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// What Node's `new URL(href, base).href` gives for each pair; empty when Node cannot run.
std::vector<std::string> Reference(const std::vector<std::pair<std::string, std::string>>& pairs) {
    std::string input;
    for (const auto& [base, href] : pairs) {
        input += "[" + Json(base) + "," + Json(href) + "]\n";
    }
    return NodeReferenceLines(TAMBLIN_TESTS_DIR "/url_reference.js", input);
}

} // namespace

TEST(WebAddress, ResolvesAsTheBrowsersUrlDoes) {
    const std::vector<std::string> bases = {
        "http://127.0.0.1:8000/en/index.html", "http://Host.example/a/b/c.html?x=1#top",
        "https://host:443/dir/", "http://host/", "file:///usr/share/doc/manual/en/index.html"};
    const std::vector<std::string> hrefs = {"../../pt-br/index.html",
                                            "../../../../x.html",
                                            "/c.html",
                                            "//other:81/p/../q.html",
                                            "//127.0.0.1:8000/a/g.html",
                                            "?x=1",
                                            "?",
                                            "#frag",
                                            "",
                                            "./",
                                            ".",
                                            "..",
                                            "./d.html?q=1#f",
                                            "sub\\s.html",
                                            "\\\\host2\\share\\f.html",
                                            "a/./b/../c.html",
                                            "a/%2e/b/%2E%2e/c",
                                            "a/b/..",
                                            "a/b/.",
                                            "http:rel.html",
                                            "https:other/x.html",
                                            "HTTP://UP.Example:80/Q",
                                            "mailto:someone@example.org",
                                            "javascript:void(0)",
                                            "  spaced name.html  ",
                                            "tab\there.html",
                                            "line\nbreak.html",
                                            "caf\xC3\xA9.html",
                                            "q.html?a b&c=<d>#f g`",
                                            "//h:99999/x",
                                            "//h:8a/x",
                                            "http://:80/x",
                                            "x.html#a#b",
                                            "/../../up.html",
                                            "..\\..\\win.html",
                                            "///triple/slash.html",
                                            "https://u:p@h/x",
                                            "a?b/../c"};
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const std::string& base : bases) {
        for (const std::string& href : hrefs) {
            pairs.emplace_back(base, href);
        }
    }
    std::vector<std::string> expected = Reference(pairs);
    ASSERT_EQ(expected.size(), pairs.size()) << "node could not be run";
    for (size_t i = 0; i < pairs.size(); ++i) {
        std::optional<std::string> got = WebAddress::Resolve(pairs[i].second, pairs[i].first);
        EXPECT_EQ(got.value_or("FAIL"), expected[i])
            << "href \"" << pairs[i].second << "\" on " << pairs[i].first;
    }
}

TEST(WebAddress, ShortestFormUnderABase) {
    const std::string base = "http://host:8080/a/";
    EXPECT_EQ(WebAddress::Shortest("http://host:8080/a/b/c.html", base), "b/c.html");
    EXPECT_EQ(WebAddress::Shortest("http://host:8080/c.html", base), "../c.html");
    EXPECT_EQ(WebAddress::Shortest("http://host:8080/ab/c.html", base), "../ab/c.html");
    EXPECT_EQ(WebAddress::Shortest("http://host:8080/a/", base), "./");
    EXPECT_EQ(WebAddress::Shortest("http://host:8080/a/index.html?x=1", base), "index.html?x=1");
    EXPECT_EQ(WebAddress::Shortest("http://host:8080/a/c:d.html", base), "./c:d.html");
    EXPECT_EQ(WebAddress::Shortest("http://host:8080/a//h/x.html", base), ".//h/x.html");
    EXPECT_EQ(WebAddress::Shortest("http://other/a/c.html", base), "http://other/a/c.html");
    EXPECT_EQ(WebAddress::Shortest("http://host:8080/x/y/z.html", "http://host:8080/x/w/v/"),
              "../../y/z.html");
}
