#include "web/RequestBudget.h"
#include "web/RequestSizeGuard.h"

#include <gtest/gtest.h>

using web::RequestBudget;
using web::RequestSizeGuard;
using Verdict = RequestSizeGuard::Verdict;

TEST(RequestSizeGuardTest, followsHeadsAndBodiesInAnyPieces_pipelinedToo) {
    RequestSizeGuard guard;
    const QByteArray two = "POST /a HTTP/1.1\r\nContent-Length: 4\r\n\r\n{}\r\n"
                           "POST /b HTTP/1.1\r\ncontent-length:16384\r\n\r\n";
    for (const char c : two)
        ASSERT_EQ(guard.feed(QByteArray(1, c)), Verdict::Fine);
    // The body's bytes are no head, however they look.
    EXPECT_EQ(guard.feed(QByteArray(16384, '\n')), Verdict::Fine);
    EXPECT_EQ(guard.feed("GET / HTTP/1.1\r\n\r\n"), Verdict::Fine);
}

TEST(RequestSizeGuardTest, refusesTooLargeHeadsAndBodies_andBodiesOfNoLength) {
    EXPECT_EQ(RequestSizeGuard().feed("POST / HTTP/1.1\r\nContent-Length: 16385\r\n\r\n"),
              Verdict::BodyTooLarge);
    EXPECT_EQ(RequestSizeGuard().feed("POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n"),
              Verdict::LengthRequired);
    EXPECT_EQ(RequestSizeGuard().feed("POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n"),
              Verdict::LengthRequired);
    // Two lengths: the server would take the first, the guard follow the last.
    EXPECT_EQ(RequestSizeGuard().feed("POST / HTTP/1.1\r\nContent-Length: 2\r\n"
                                      "Content-Length: 12\r\n\r\n"),
              Verdict::LengthsDisagree);
    EXPECT_EQ(RequestSizeGuard().feed("POST / HTTP/1.1\r\nContent-Length: 2\r\n"
                                      "content-length:2\r\n\r\n{}"),
              Verdict::Fine);
    RequestSizeGuard slow;
    for (int i = 0; i < 17; ++i)
        (void)slow.feed(QByteArray(1024, 'h'));
    EXPECT_EQ(slow.feed("x"), Verdict::HeadTooLarge); // and stays so
}

TEST(RequestSizeGuardTest, anUpgradeHeaderEndsNothing_whatFollowsIsStillBounded) {
    RequestSizeGuard body;
    EXPECT_EQ(body.feed("GET / HTTP/1.1\r\nUpgrade: foo\r\nConnection: Upgrade\r\n\r\n"),
              Verdict::Fine);
    EXPECT_EQ(body.feed("POST / HTTP/1.1\r\nContent-Length: 104857600\r\n\r\n"),
              Verdict::BodyTooLarge);
    RequestSizeGuard head;
    EXPECT_EQ(head.feed("GET /api/ws HTTP/1.1\r\nUpgrade: websocket\r\n\r\n"), Verdict::Fine);
    EXPECT_EQ(head.feed(QByteArray(200 * 1024, 'h')), Verdict::HeadTooLarge);
}

TEST(RequestSizeGuardTest, betweenRequests_untilTheFirstByteAndOnceTheBodyIsWhole) {
    RequestSizeGuard guard;
    EXPECT_TRUE(guard.betweenRequests());
    (void)guard.feed("POST / HTTP/1.1\r\n");
    EXPECT_FALSE(guard.betweenRequests());
    (void)guard.feed("Content-Length: 2\r\n\r\n{");
    EXPECT_FALSE(guard.betweenRequests()); // the body is not whole
    (void)guard.feed("}");
    EXPECT_TRUE(guard.betweenRequests());
}

TEST(RequestSizeGuardTest, keepAlive_isHttp11sDefault_http10sOnlyWhenAsked_inTheRequestsOrder) {
    RequestSizeGuard guard;
    EXPECT_TRUE(guard.takeKeepAlive()); // no head yet: nothing to end
    (void)guard.feed("GET /a HTTP/1.1\r\nHost: x\r\n\r\n"
                     "GET /b HTTP/1.0\r\nHost: x\r\n\r\n"
                     "GET /c HTTP/1.0\r\nconnection: Keep-Alive\r\n\r\n"
                     "GET /d HTTP/1.1\r\nConnection: keep-alive, close\r\n\r\n"
                     "POST /e HTTP/1.0\r\nConnection: keep-alive\r\nContent-Length: 4\r\n\r\n");
    (void)guard.feed("{}{}GET /f HTTP/1.0");
    EXPECT_TRUE(guard.takeKeepAlive());
    EXPECT_FALSE(guard.takeKeepAlive());
    EXPECT_TRUE(guard.takeKeepAlive());
    EXPECT_FALSE(guard.takeKeepAlive());
    EXPECT_TRUE(guard.takeKeepAlive());
    EXPECT_TRUE(guard.takeKeepAlive()); // what followed the body is no whole head
}

TEST(RequestBudgetTest, aBurstThenTheRate_perPeer) {
    RequestBudget budget;
    for (int i = 0; i < RequestBudget::Burst; ++i)
        ASSERT_TRUE(budget.take("a", 0));
    EXPECT_FALSE(budget.take("a", 0));
    EXPECT_TRUE(budget.take("b", 0));
    EXPECT_FALSE(budget.take("a", 40)); // 0.8 requests' worth
    EXPECT_TRUE(budget.take("a", 50));
    EXPECT_FALSE(budget.take("a", 50));
    // A peer quiet long enough starts full again.
    for (int i = 0; i < RequestBudget::Burst; ++i)
        ASSERT_TRUE(budget.take("a", 10000));
}
