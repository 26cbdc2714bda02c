// A day is closed once: when the store cannot forget the open day after its record is saved (a
// full disk, a kill between the two), the next start and the next departure see the record.
#include "form_fixture.h"

namespace horalog::testing {
namespace {

const QByteArray kThreeDays =
    "dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n"
    "05-12-2026;3;08:00;16:00;750;2220;125;\r\n";
const QByteArray kClosed = kThreeDays + "05-12-2026;4;08:00;16:30;800;3020;185;\r\n";

// The store as on a full disk: writes fail once `full` is set.
class FullStore : public RegistryBackend {
public:
    explicit FullStore(std::shared_ptr<RegistryBackend> inner) : inner_(std::move(inner)) {}
    long openKey(std::uint32_t r, const std::string& p, std::uint32_t a, Handle& k) override {
        return inner_->openKey(r, p, a, k);
    }
    long createKey(std::uint32_t r, const std::string& p, Handle& k) override {
        return inner_->createKey(r, p, k);
    }
    void closeKey(Handle k) override { inner_->closeKey(k); }
    long deleteKey(std::uint32_t r, const std::string& p) override {
        return inner_->deleteKey(r, p);
    }
    long queryValue(Handle k, const std::string& n, std::size_t b, std::string& d) override {
        return inner_->queryValue(k, n, b, d);
    }
    long setValue(Handle k, const std::string& n, const std::string& t) override {
        return full ? kAccessDenied : inner_->setValue(k, n, t);
    }
    long deleteValue(Handle k, const std::string& n) override { return inner_->deleteValue(k, n); }
    long queryInfo(Handle k, KeyInfo& i) override { return inner_->queryInfo(k, i); }
    long enumKey(Handle k, std::uint32_t i, std::string& n) override {
        return inner_->enumKey(k, i, n);
    }
    long enumValue(Handle k, std::uint32_t i, std::string& n) override {
        return inner_->enumValue(k, i, n);
    }
    LocalTime toLocalTime(std::uint64_t t) override { return inner_->toLocalTime(t); }
    std::string storeProblem() override { return inner_->storeProblem(); }

    bool full = false;

private:
    std::shared_ptr<RegistryBackend> inner_;
};

class CloseOnceTest : public FormTest {
protected:
    // A window over the store, whose writes fail while `full` is set.
    void startWindow() {
        window = std::make_unique<Flex_Form>(
            platform, [this] { return std::make_unique<CRegistry>(backend); });
        ASSERT_TRUE(startForm());
    }
    // An existing user who registered the arrival at 08:00 in this window.
    void arrived() {
        writeBytes(file, kThreeDays);
        store->seed(kHKeyCurrentUser, userStore(file, " "));
        backend = std::make_shared<FullStore>(store->backend());
        startWindow();
        komme()->setText(QStringLiteral("08:00"));
        click();
    }
    std::shared_ptr<FullStore> backend;
};

TEST_F(CloseOnceTest, AStoreThatFailsAfterTheRecordDoesNotReopenTheDay) {
    arrived();
    backend->full = true;
    platform.answer(QStringLiteral("OK"));
    gaa()->setText(QStringLiteral("16:30"));
    click();
    EXPECT_EQ(lastDialog(),
              QStringLiteral("Dagen er gemt i registreringsfilen, men Horalogs indstillinger kunne "
                             "ikke skrives:\r\nFailed to write new value to Moedt from "
                             "Registry.\r\n\r\nDagen tælles ikke med igen: næste start ser, at "
                             "den er afsluttet. Ret fejlen (f.eks. en fuld disk), før næste "
                             "komme-tid registreres."));
    EXPECT_FALSE(platform.endedWith.has_value());
    EXPECT_EQ(text("Komme_Text") + u'|' + text("Total_CT"), QStringLiteral("|185 ct "));
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:00");  // the store could not be written
    // The next start, on a store that works again, neither reopens nor counts the day again.
    backend->full = false;
    window.reset();
    startWindow();
    EXPECT_EQ(userValue("Moedt"), " ");
    EXPECT_EQ(text("Idag_CT") + u'|' + text("Total_CT"), QStringLiteral("|185 ct "));
    EXPECT_EQ(readBytes(file), kClosed);
}

// Another copy saved the day and was killed before its store forgot it: this window, still
// showing the day open, does not close it a second time.
TEST_F(CloseOnceTest, ADepartureOnADayAlreadyRecordedIsRefused) {
    arrived();
    writeBytes(file, kClosed);
    platform.answer(QStringLiteral("OK"));
    gaa()->setText(QStringLiteral("17:00"));
    click();
    EXPECT_EQ(lastDialog(),
              QStringLiteral("Dagen er allerede afsluttet af et andet Horalog, så gå-tiden "
                             "registreres ikke.\r\n\r\nIntet er ændret."));
    EXPECT_EQ(readBytes(file), kClosed);
    EXPECT_EQ(userValue("Moedt"), " ");
    EXPECT_EQ(text("Total_CT"), QStringLiteral("185 ct "));
}

// The same date and arrival in an older record is not this day's: the file has not grown since.
TEST_F(CloseOnceTest, AnOlderRecordWithTheSameArrivalClosesNothing) {
    arrived();
    gaa()->setText(QStringLiteral("16:30"));
    click();
    EXPECT_EQ(readBytes(file), kClosed);
    EXPECT_EQ(userValue("Moedt"), " ");
}

}  // namespace
}  // namespace horalog::testing
