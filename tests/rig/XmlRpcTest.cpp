// XML-RPC as flrig writes it: untyped strings, i4, arrays, faults, and what is not an answer.
#include "rig/XmlRpc.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace rig;

namespace {

QByteArray Response(const QByteArray& inside) {
    return "<?xml version=\"1.0\"?>\r\n<methodResponse>" + inside + "</methodResponse>\r\n";
}

QByteArray Param(const QByteArray& value) {
    return Response("<params><param>\r\n\t<value>" + value + "</value>\r\n</param></params>");
}

} // namespace

TEST(XmlRpcTest, aCallCarriesItsMethodAndTypedParams_escaped) {
    EXPECT_EQ(XmlRpcCall("rig.set_vfo", {7100500.0}),
              "<?xml version=\"1.0\"?>\r\n<methodCall><methodName>rig.set_vfo</methodName><params>"
              "<param><value><double>7100500.0</double></value></param></params></methodCall>\r\n");
    const QByteArray call = XmlRpcCall("rig.set_mode", {QStringLiteral("<USB&>"), 1, true});
    EXPECT_TRUE(call.contains("<value><string>&lt;USB&amp;&gt;</string></value>"));
    EXPECT_TRUE(call.contains("<value><i4>1</i4></value>"));
    EXPECT_TRUE(call.contains("<value><boolean>1</boolean></value>"));
    EXPECT_TRUE(XmlRpcCall("rig.get_vfo").contains("<params></params>"));
}

TEST(XmlRpcTest, valuesOfEveryShapeFlrigSends_andAFaultWithItsText) {
    EXPECT_EQ(ParseXmlRpcReply(Param("14070000")).value, QVariant(QStringLiteral("14070000")));
    EXPECT_EQ(ParseXmlRpcReply(Param("<string>USB</string>")).value, QVariant("USB"));
    EXPECT_EQ(ParseXmlRpcReply(Param("\n  <i4> 1 </i4>\n")).value, QVariant(1));
    EXPECT_EQ(ParseXmlRpcReply(Param("<boolean>0</boolean>")).value, QVariant(false));
    EXPECT_EQ(ParseXmlRpcReply(Param("<double>7.5</double>")).value, QVariant(7.5));
    const XmlRpcReply modes = ParseXmlRpcReply(
        Param("<array><data>\n<value>LSB</value>\n<value><string>USB</string></value>"
              "</data></array>"));
    ASSERT_TRUE(modes.ok());
    EXPECT_EQ(modes.value.toStringList(), QStringList({"LSB", "USB"}));

    const XmlRpcReply fault = ParseXmlRpcReply(Response(
        "<fault>\r\n\t<value><struct><member><name>faultCode</name><value><i4>-1</i4></value>"
        "</member><member><name>faultString</name><value>no such method</value></member>"
        "</struct></value>\r\n</fault>"));
    EXPECT_EQ(fault.kind, XmlRpcReply::Kind::Fault);
    EXPECT_EQ(fault.fault, "-1 no such method");
}

TEST(XmlRpcTest, anythingButOneValueOrOneFaultIsMalformed) {
    QByteArray deep = "1";
    for (int i = 0; i < 20; ++i)
        deep = "<array><data><value>" + deep + "</value></data></array>";
    for (const QByteArray& bad : {
             QByteArray(),
             QByteArray("hello"),
             QByteArray("<html><body>404</body></html>"),
             Param("7050000").left(40), // cut off
             Param("<i4>one</i4>"),     // not a number
             Param("<double>nan</double>"),
             Param("<base64>AA==</base64>"), // a type flrig never sends
             Param("<i4>1</i4><i4>2</i4>"),  // two values in one
             Param("7050000") + "<more/>",   // a second root
             Response("<params><param><value>1</value></param><param><value>2</value></param>"
                      "</params>"),
             Response("<fault><value>just text</value></fault>"),
             Param(deep),
         })
        EXPECT_EQ(ParseXmlRpcReply(bad).kind, XmlRpcReply::Kind::Malformed) << bad.toStdString();
}
