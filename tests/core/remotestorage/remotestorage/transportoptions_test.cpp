// The transport's pure decisions: multipart field decoding, proxy options from
// the registry values, speed caps from the settings texts, outcome mapping.
#include <gtest/gtest.h>

#include "core/remotestorage/remotestorage/curlsession.h"
#include "core/remotestorage/remotestorage/formfields.h"
#include "core/remotestorage/remotestorage/proxyoptions.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/transportsettings.h"

namespace {

TEST(FormFieldsTest, PairsAreDecodedInTextOrder) {
    const auto fields = DecodeFormFields(L"stub=a%20b&uploadSize=10&sum=1+1&name=%E4%B8%AD");
    ASSERT_EQ(4u, fields.size());
    EXPECT_EQ("stub", fields[0].name);
    EXPECT_EQ("a b", fields[0].contents);
    EXPECT_EQ("uploadSize", fields[1].name);
    EXPECT_EQ("10", fields[1].contents);
    EXPECT_EQ("1+1", fields[2].contents);  // '+' is not a blank here
    EXPECT_EQ("\xe4\xb8\xad", fields[3].contents);
}

TEST(FormFieldsTest, BrokenEscapesBecomeAQuestionMarkWithoutReadingPastTheText) {
    EXPECT_EQ("?", PercentDecode("%zz"));
    EXPECT_EQ("a?c", PercentDecode("a%zzc"));
    // Escapes cut short by the end of the text.
    EXPECT_EQ("?", PercentDecode("%"));
    EXPECT_EQ("x?", PercentDecode("x%4"));
    EXPECT_EQ("?", PercentDecode("%4g"));
    const auto fields = DecodeFormFields(L"a=%4&b=%");
    ASSERT_EQ(2u, fields.size());
    EXPECT_EQ("?", fields[0].contents);
    EXPECT_EQ("?", fields[1].contents);
}

TEST(FormFieldsTest, DecodedBytesThatAreNotUtf8AreReplacedNotSentRaw) {
    const auto fields = DecodeFormFields(L"k=%FF");
    ASSERT_EQ(1u, fields.size());
    EXPECT_EQ("\xef\xbf\xbd", fields[0].contents);
}

TEST(FormFieldsTest, ATrailingKeyWithoutValueIsDropped) {
    const auto fields = DecodeFormFields(L"a=1&lonely");
    ASSERT_EQ(1u, fields.size());
    EXPECT_EQ("a", fields[0].name);
    EXPECT_TRUE(DecodeFormFields(L"").empty());
}

TEST(ProxyOptionsTest, AbsentTypeUsesTheSystemProxy) {
    ProxyRegistryValues values;  // nothing written: type reads as -1
    ProxyOptions options = BuildProxyOptions(values, "proxy.lan:8080 other.lan:3128");
    EXPECT_TRUE(options.httpProxyType);
    EXPECT_EQ("proxy.lan:8080", options.proxy);
    EXPECT_TRUE(options.userPassword.empty());

    options = BuildProxyOptions(values, "proxy.lan");
    EXPECT_EQ("proxy.lan:80", options.proxy);

    // No system proxy: explicitly none, so libcurl does not guess one.
    options = BuildProxyOptions(values, "");
    EXPECT_FALSE(options.httpProxyType);
    EXPECT_EQ("", options.proxy);
}

TEST(ProxyOptionsTest, EnvironmentStyleEntriesKeepOnlyHostAndPort) {
    std::string hostAndPort;
    ASSERT_TRUE(ParseSystemProxyList("http://proxy.lan:3128/", &hostAndPort));
    EXPECT_EQ("proxy.lan:3128", hostAndPort);
    ASSERT_TRUE(ParseSystemProxyList("http://[::1]", &hostAndPort));
    EXPECT_EQ("[::1]:80", hostAndPort);
    ASSERT_TRUE(ParseSystemProxyList("[::1]:8888", &hostAndPort));
    EXPECT_EQ("[::1]:8888", hostAndPort);
    EXPECT_FALSE(ParseSystemProxyList("", &hostAndPort));
    EXPECT_FALSE(ParseSystemProxyList(" proxy.lan:1", &hostAndPort));
}

TEST(ProxyOptionsTest, ManualProxyTakesServerPortAndCredentials) {
    ProxyRegistryValues values;
    values.type = kProxyManual;
    values.server = L"10.0.0.9";
    values.port = L"3128";
    ProxyOptions options = BuildProxyOptions(values, "ignored:1");
    EXPECT_TRUE(options.httpProxyType);
    EXPECT_EQ("10.0.0.9:3128", options.proxy);
    EXPECT_TRUE(options.userPassword.empty());

    values.userName = L"ann";
    values.password = L"p\u00e4ss";
    options = BuildProxyOptions(values, "");
    EXPECT_EQ("ann:p\xc3\xa4ss", options.userPassword);
}

TEST(ProxyOptionsTest, AnyOtherTypeMeansNoProxy) {
    for (uint32_t type : {0u, 3u, 7u}) {
        ProxyRegistryValues values;
        values.type = type;
        values.server = L"10.0.0.9";
        values.port = L"3128";
        const ProxyOptions options = BuildProxyOptions(values, "proxy.lan:8080");
        EXPECT_FALSE(options.httpProxyType) << type;
        EXPECT_EQ("", options.proxy) << type;
    }
}

TEST(ProxyOptionsTest, TheEnvironmentStandsInForTheSystemSetting) {
    setenv("http_proxy", "http://plain.lan:1", 1);
    setenv("https_proxy", "secure.lan:2", 1);
    EXPECT_EQ("http://plain.lan:1", SystemProxyListFor("http://127.0.0.1/x"));
    EXPECT_EQ("secure.lan:2", SystemProxyListFor("HTTPS://host/x"));
    unsetenv("http_proxy");
    unsetenv("https_proxy");
    EXPECT_EQ("", SystemProxyListFor("http://127.0.0.1/x"));
}

TEST(SpeedCapTest, DebugValueWinsUnlessAbsentOrMinusOne) {
    // Both absent: 1 MiB/s.
    EXPECT_EQ(0x100000u, ResolveSpeedCap(L"", L""));
    EXPECT_EQ(0x100000u, ResolveSpeedCap(L"-1", L""));
    EXPECT_EQ(0u, ResolveSpeedCap(L"0", L""));  // 0 removes the cap
    EXPECT_EQ(2048u, ResolveSpeedCap(L"2048", L"99"));
    EXPECT_EQ(99u, ResolveSpeedCap(L"", L"99"));
    EXPECT_EQ(0u, ResolveSpeedCap(L"-1", L"0"));
    EXPECT_EQ(0u, ResolveSpeedCap(L"fast", L"99"));  // text without digits counts as 0
}

TEST(SpeedCapTest, IntegerSettingsReadLeadingDigits) {
    EXPECT_EQ(7, ParseIntegerSetting(L"", 7));
    EXPECT_EQ(12, ParseIntegerSetting(L" 12kb", 7));
    EXPECT_EQ(-3, ParseIntegerSetting(L"-3", 7));
    EXPECT_EQ(0, ParseIntegerSetting(L"x", 7));
    EXPECT_GT(ParseIntegerSetting(L"99999999999999999999999", 7), 0);
}

TEST(TransferResultTest, CodesMapInTheirOrder) {
    EXPECT_EQ(S_OK, TransferResult(CURLE_OK, true));
    // A time-out wins over a cancel that came too.
    EXPECT_EQ(E_TRANSPORT_TIMEOUT, TransferResult(CURLE_OPERATION_TIMEDOUT, true));
    EXPECT_EQ(E_CANCELLED, TransferResult(CURLE_ABORTED_BY_CALLBACK, false));
    EXPECT_EQ(E_CANCELLED, TransferResult(CURLE_RECV_ERROR, true));
    EXPECT_EQ(E_TRANSPORT_CONNECT, TransferResult(CURLE_COULDNT_RESOLVE_PROXY, false));
    EXPECT_EQ(E_TRANSPORT_CONNECT, TransferResult(CURLE_COULDNT_RESOLVE_HOST, false));
    EXPECT_EQ(E_TRANSPORT_CONNECT, TransferResult(CURLE_COULDNT_CONNECT, false));
    EXPECT_EQ(E_TRANSPORT_FAILED, TransferResult(CURLE_PEER_FAILED_VERIFICATION, false));
    EXPECT_EQ(E_TRANSPORT_FAILED, TransferResult(CURLE_WRITE_ERROR, false));
}

}  // namespace
