#include "platform/window/flash/FlashPlayer.h"

#include <gtest/gtest.h>

TEST(FlashAddressTest, PathEndingDecides) {
    struct Case {
        const char* uri;
        bool movie;
    } cases[] = {
        {"http://player.example.com/player.php/sid/XNzk3NjU5MDc2/v.swf", true},
        {"http://h/v.SWF", true},
        {"http://h/v.swf?autoplay=1", true},
        {"http://h/v.swf#start", true},
        {"http://h//0/0/v_abc.swf", true}, // an empty video id still makes a movie address
        {"file:///home/user/clip.swf", true},
        {"clip.swf", true},
        {"http://h/page.html", false},
        {"http://h/page.html?movie=v.swf", false}, // only in the query
        {"http://h/page#v.swf", false},            // only in the fragment
        {"http://h/v.swf/", false},
        {"http://h/v.swfx", false},
        {"http://h/swf", false},
        {"http://example.swf", false}, // the host is not the path
        {"http://example.swf/", false},
        {"", false},
        {nullptr, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isFlashAddress(c.uri), c.movie) << (c.uri ? c.uri : "(null)");
}
