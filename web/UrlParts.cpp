#include "web/UrlParts.h"

#include "text/TextBetween.h"

namespace {

// The text before the first ":", so that "host:port" gives the host.
Text withoutPort(const Text& host) {
    int colon = findText(host, ":", 1);
    if (colon == -1) {
        return host;
    }
    return leftText(host, colon - 1);
}

// Cuts after the scheme: the text between "http://" or "https://" and the next "/".
Text hostByScheme(const Text& address, bool rootDomain) {
    Text w = toLower(address);
    if (rightText(w, 1) != "/") {
        w += "/";
    }
    if (leftText(w, 8) == "https://") {
        w = textBetween(w, "https://", "/");
    } else {
        // The first "http://" anywhere wins, even one inside a query.
        if (findText(w, "http://", 1) == -1) {
            w = concatText("http://", w);
        }
        w = textBetween(w, "http://", "/");
    }
    if (rootDomain) {
        TextArray labels = splitText(w, ".");
        int count = arraySize(labels);
        if (count > 1) {
            w = labels[count - 2] + "." + labels[count - 1];
        }
    }
    return w;
}

// Keeps only the last labels of the host, counted from the end by dots.
Text hostByDots(const Text& address, bool rootDomain, int dotCount) {
    Text w = toLower(address);
    w = replaceSubtext(w, "http://");
    w = replaceSubtext(w, "https://");
    int slash = findText(w, "/", 1);
    if (slash != -1) {
        w = leftText(w, slash - 1);
    }
    int n = textLength(w);
    int p = n;
    for (int i = 0; i < dotCount && p != -1; ++i) {
        p = findTextReverse(w, ".", p);
    }
    int q = p == -1 ? -1 : findTextReverse(w, ".", p);
    if (rootDomain) {
        // With no dot left q is -1 and the whole host stays.
        return rightText(w, n - q);
    }
    if (q != -1) {
        int r = findTextReverse(w, ".", q);
        if (r != -1) {
            return rightText(w, n - r);
        }
    }
    return w;
}

} // namespace

Text urlHost(const Text& address, bool rootDomain, bool keepPort, std::optional<int> dotCount) {
    Text host =
        dotCount ? hostByDots(address, rootDomain, *dotCount) : hostByScheme(address, rootDomain);
    return keepPort ? host : withoutPort(host);
}

int urlPort(const Text& address) {
    Text host = urlHost(address, false, true);
    int colon = findTextReverse(host, ":");
    if (colon != -1) {
        // "host:" with nothing after the colon gives port 0.
        return toInt(rightText(host, textLength(host) - colon));
    }
    return leftText(toLower(address), 5) == "https" ? 443 : 80;
}

Text urlPath(const Text& address) {
    Text host = urlHost(address);
    int hostStart = findText(address, host, 1, true);
    int slash = findText(address, "/", hostStart, true);
    if (slash < 1) {
        return "/";
    }
    return rightText(address, textLength(address) - slash + 1);
}
