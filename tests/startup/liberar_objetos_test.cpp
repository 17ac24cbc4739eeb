#include "startup/liberar_objetos.h"
#include "support/test_env.h"
#include "utility/library.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> released;

template <class Base>
struct Logged : Base {
    explicit Logged(std::string name) : name(std::move(name)) {}
    ~Logged() override { released.push_back(name); }
    std::string name;
};

}  // namespace

TEST(LiberarObjetos, ReleasesInOrderSkippingObjectsNeverCreated) {
    released.clear();
    utility::iniFileSlot().put(std::make_unique<Logged<utility::IniFile>>("IniFile"));
    utility::utilitiesSlot().put(std::make_unique<Logged<utility::Utilities>>("Utilities"));
    utility::formStylerSlot().put(std::make_unique<Logged<utility::FormStyler>>("FormStyler"));
    utility::folderClientSlot().put(std::make_unique<Logged<utility::FolderClient>>("FolderClient"));
    utility::dataAccessSlot().release();  // never created

    startup::LiberarObjetos();
    EXPECT_EQ(released, (std::vector<std::string>{"IniFile", "Utilities", "FormStyler", "FolderClient"}));
    EXPECT_FALSE(utility::iniFileSlot().created());
    EXPECT_FALSE(utility::dataAccessSlot().created());

    utility::dataAccessSlot().put(std::make_unique<Logged<utility::DataAccess>>("DataAccess"));
    utility::iniFileSlot().put(std::make_unique<Logged<utility::IniFile>>("IniFile"));
    released.clear();
    startup::LiberarObjetos();
    EXPECT_EQ(released, (std::vector<std::string>{"IniFile", "DataAccess"}));
}
