// korvane printers: the catalogue as text and JSON on a CUPS scheduler of the
// test's own, own printers kept in the settings, refusals that leave the
// settings alone, the settings file under XDG_CONFIG_HOME, and the
// placeholder when there is no printer at all.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <filesystem>

#include "support/cupsd.h"
#include "support/kvtest.h"

namespace {

using Env = std::vector<std::pair<std::string, std::string>>;

QJsonArray PrintersJson(const Env& env = {})
{
    const auto r = kvtest::RunKorvane({"printers", "--json"}, env);
    EXPECT_EQ(r.status, 0) << r.err;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out));
    EXPECT_TRUE(doc.isArray()) << r.out;
    return doc.array();
}

QJsonObject Entry(const QJsonArray& list, const QString& name)
{
    for (const auto& v : list)
        if (v.toObject()["name"].toString() == name) return v.toObject();
    ADD_FAILURE() << "no printer " << name.toStdString();
    return QJsonObject();
}

// Points the program at a settings file of the test's own.
class SettingsFile {
public:
    SettingsFile() : m_path(m_dir.file("settings.ini")) {}
    Env env() const { return {{"KORVANE_SETTINGS", m_path}}; }
    std::string text() const { return kvtest::ReadFileText(m_path); }

private:
    kvtest::TempDir m_dir;
    std::string m_path;
};

TEST(PrintersCli, CatalogueOfCupsQueuesAndOwnPrinters)
{
    kvtest::PrivateCupsd cupsd;
    ASSERT_TRUE(cupsd.ok()) << cupsd.error();
    ASSERT_TRUE(cupsd.AddQueue("zpl", "socket://127.0.0.1:9", "drv:///sample.drv/zebra.ppd")) << cupsd.lastOutput();
    ASSERT_TRUE(cupsd.AddQueue("epl", "socket://127.0.0.1:9", "drv:///sample.drv/zebraep2.ppd"))
        << cupsd.lastOutput();
    ASSERT_TRUE(cupsd.AddQueue("raw", "socket://127.0.0.1:9101", "raw")) << cupsd.lastOutput();
    ASSERT_TRUE(cupsd.SetDefault("zpl")) << cupsd.lastOutput();
    SettingsFile settings;

    auto run = [&](const std::vector<std::string>& args) { return kvtest::RunKorvane(args, settings.env()); };
    // The raw queue has no driver: no language until the settings give one.
    const auto listed = run({"printers"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find("\"zpl\" (default)"), std::string::npos) << listed.out;
    EXPECT_EQ(Entry(PrintersJson(settings.env()), "raw")["language"].toInt(), 0);

    ASSERT_EQ(run({"printers", "add", "raw", "--language", "zpl", "--dpi", "300"}).status, 0);
    const auto added = run({"printers", "add", "Dock door", "--language", "15", "--dpi", "203", "--port",
                            "tcp:127.0.0.1:9102"});
    ASSERT_EQ(added.status, 0) << added.err;
    ASSERT_EQ(run({"printers", "add", "Bench", "--language", "EPL", "--dpi", "300", "--port",
                   "serial:/dev/ttyS0:19200,8,N,1,H"})
                  .status,
              0);

    const QJsonArray list = PrintersJson(settings.env());
    ASSERT_EQ(list.size(), 5);
    // CUPS queues in the scheduler's order, then the own printers in the settings' order.
    QStringList names;
    for (const auto& v : list) names << v.toObject()["name"].toString();
    EXPECT_EQ(names, (QStringList{"epl", "raw", "zpl", "Dock door", "Bench"}));
    int defaults = 0;
    for (const auto& v : list) defaults += v.toObject()["default"].toBool();
    EXPECT_EQ(defaults, 1);

    const QJsonObject zpl = Entry(list, "zpl");
    EXPECT_EQ(zpl["driver"].toString(), "Zebra ZPL Label Printer");
    EXPECT_EQ(zpl["language"].toInt(), 1);
    EXPECT_EQ(zpl["language_name"].toString(), "zpl");
    EXPECT_EQ(zpl["dpi"].toArray(), (QJsonArray{203, 203}));
    EXPECT_EQ(zpl["port"].toString(), "socket://127.0.0.1:9");
    EXPECT_FALSE(zpl["own_port"].toBool());
    EXPECT_TRUE(zpl["default"].toBool());
    EXPECT_EQ(zpl["brand"].toString(), "Zebra");
    const QJsonArray papers = zpl["papers"].toArray();
    EXPECT_TRUE(papers.contains("A4"));
    EXPECT_EQ(papers.last().toString(), "Custom Paper");

    const QJsonObject epl = Entry(list, "epl");
    EXPECT_EQ(epl["language"].toInt(), 11);
    EXPECT_EQ(epl["language_name"].toString(), "epl");
    EXPECT_EQ(epl["family"].toInt(), 3);

    const QJsonObject raw = Entry(list, "raw");
    EXPECT_EQ(raw["language"].toInt(), 1);
    EXPECT_EQ(raw["dpi"].toArray(), (QJsonArray{300, 300}));
    EXPECT_EQ(raw["port"].toString(), "socket://127.0.0.1:9101");
    EXPECT_FALSE(raw["own_port"].toBool());

    const QJsonObject dock = Entry(list, "Dock door");
    EXPECT_TRUE(dock["own_port"].toBool());
    EXPECT_FALSE(dock["default"].toBool());
    EXPECT_EQ(dock["port"].toString(), "tcp:127.0.0.1:9102");
    EXPECT_EQ(dock["language"].toInt(), 15);
    EXPECT_EQ(dock["language_name"].toString(), "epl");
    EXPECT_EQ(dock["dpi"].toArray(), (QJsonArray{203, 203}));
    EXPECT_EQ(dock["papers"].toArray(), (QJsonArray{"Custom Paper"}));
    EXPECT_EQ(Entry(list, "Bench")["language"].toInt(), 11);

    // Adding an existing name replaces it; removing takes it away.
    ASSERT_EQ(run({"printers", "add", "Dock door", "--language", "tspl", "--dpi", "300", "--port",
                   "usb:/dev/usb/lp1"})
                  .status,
              0);
    ASSERT_EQ(run({"printers", "remove", "Bench"}).status, 0);
    const QJsonArray after = PrintersJson(settings.env());
    ASSERT_EQ(after.size(), 4);
    EXPECT_EQ(Entry(after, "Dock door")["language"].toInt(), 3);
    EXPECT_EQ(Entry(after, "Dock door")["port"].toString(), "usb:/dev/usb/lp1");
    for (const auto& v : after) EXPECT_NE(v.toObject()["name"].toString(), "Bench");

    // An own printer may not take a queue's name; a queue's settings need the queue.
    EXPECT_EQ(run({"printers", "add", "zpl", "--language", "zpl", "--dpi", "203", "--port", "tcp:10.0.0.1"}).status,
              2);
    EXPECT_EQ(run({"printers", "add", "nosuchqueue", "--language", "zpl", "--dpi", "203"}).status, 2);
}

TEST(PrintersCli, BadLanguageResolutionOrPortIsRefused)
{
    SettingsFile settings;
    ASSERT_EQ(kvtest::RunKorvane({"printers", "add", "Keep", "--language", "zpl", "--dpi", "203", "--port",
                                  "tcp:10.0.0.9"},
                                 settings.env())
                  .status,
              0);
    const std::string before = settings.text();
    ASSERT_NE(before.find("Keep"), std::string::npos);

    const std::vector<std::vector<std::string>> refused = {
        {"--language", "pcl", "--dpi", "203", "--port", "tcp:10.0.0.1"},
        {"--language", "12", "--dpi", "203", "--port", "tcp:10.0.0.1"},
        {"--language", "0", "--dpi", "203", "--port", "tcp:10.0.0.1"},
        {"--language", "none", "--dpi", "203", "--port", "tcp:10.0.0.1"},
        {"--language", "", "--dpi", "203", "--port", "tcp:10.0.0.1"},
        {"--dpi", "203", "--port", "tcp:10.0.0.1"},
        {"--language", "zpl", "--dpi", "0", "--port", "tcp:10.0.0.1"},
        {"--language", "zpl", "--dpi", "-203", "--port", "tcp:10.0.0.1"},
        {"--language", "zpl", "--dpi", "203dpi", "--port", "tcp:10.0.0.1"},
        {"--language", "zpl", "--dpi", "99999", "--port", "tcp:10.0.0.1"},
        {"--language", "zpl", "--dpi", "203", "--port", "tcp:10.0.0.1:70000"},
        {"--language", "zpl", "--dpi", "203", "--port", "10.0.0.1"},
        {"--language", "zpl", "--dpi", "203", "--port", "com1"},
        {"--language", "zpl", "--dpi", "203", "--port", "usb:/dev/lp0"},
        {"--language", "zpl", "--dpi", "203", "--port", "serial:/dev/ttyS0:9600,9,N,1,N"},
        {"--language", "zpl", "--dpi", "203", "--port", "file:"},
        {"--language", "zpl", "--dpi"},
    };
    for (const auto& options : refused) {
        std::vector<std::string> args = {"printers", "add", "Keep"};
        args.insert(args.end(), options.begin(), options.end());
        std::string shown;
        for (const auto& a : options) shown += a + " ";
        SCOPED_TRACE(shown);
        const auto r = kvtest::RunKorvane(args, settings.env());
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find("korvane: printers add"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(settings.text(), before);
    }
    const auto gone = kvtest::RunKorvane({"printers", "remove", "Nobody"}, settings.env());
    EXPECT_EQ(gone.status, 2);
    EXPECT_NE(gone.err.find("Nobody"), std::string::npos);
    EXPECT_EQ(settings.text(), before);
}

TEST(PrintersCli, SettingsFollowXdgConfigHome)
{
    kvtest::TempDir home;
    const Env env = {{"KORVANE_SETTINGS", ""}, {"XDG_CONFIG_HOME", home.path()}, {"HOME", home.file("nohome")}};
    const auto r = kvtest::RunKorvane(
        {"printers", "add", "Dock", "--language", "ipl", "--dpi", "203", "--port", "parallel:/dev/lp0"}, env);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string file = home.file("Ordwyn Barcode Co./Korvane.conf");
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_NE(kvtest::ReadFileText(file).find("parallel:/dev/lp0"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(home.file("nohome")));
    const QJsonObject dock = Entry(PrintersJson(env), "Dock");
    EXPECT_EQ(dock["language"].toInt(), 7);
    EXPECT_EQ(dock["language_name"].toString(), "ipl");
    EXPECT_TRUE(dock["own_port"].toBool());
}

TEST(PrintersCli, NoPrinterAtAllGivesThePlaceholder)
{
    SettingsFile settings;
    const auto r = kvtest::RunKorvane({"printers", "--json"}, settings.env());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("There is no printer installed in system!"), std::string::npos) << r.err;
    const QJsonArray list = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).array();
    ASSERT_EQ(list.size(), 1);
    const QJsonObject p = list[0].toObject();
    EXPECT_EQ(p["name"].toString(), "Korvane Default Printer");
    EXPECT_EQ(p["language"].toInt(), 0);
    EXPECT_EQ(p["language_name"].toString(), "none");
    EXPECT_EQ(p["dpi"].toArray(), (QJsonArray{600, 600}));
    EXPECT_TRUE(p["default"].toBool());
    EXPECT_FALSE(p["own_port"].toBool());
    EXPECT_EQ(p["papers"].toArray(), (QJsonArray{"A4"}));
}

}  // namespace
