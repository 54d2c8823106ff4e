// Paths as the Win32 layer reads them before the simulated file system sees them.
#include <gtest/gtest.h>

#include "support/sim_test.h"

class FilePaths : public SimTest {};

TEST_F(FilePaths, DotAndDotDotNameTheFolderAndTheOneAbove) {
    machine.files.write_file("C:\\A\\B\\file.txt", "x");
    machine.files.find("C:\\A")->attributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY;
    EXPECT_EQ(machine.files.find("C:\\A"), machine.files.find("C:\\A\\B\\.."));
    EXPECT_EQ(machine.files.find("C:\\A\\B"), machine.files.find("C:\\A\\.\\B\\."));
    EXPECT_EQ(machine.files.find("C:\\"), machine.files.find("C:\\..\\.."));
    EXPECT_EQ(machine.files.find("C:\\A"), machine.files.find("C:\\A\\missing\\.."))
        << "resolved in the text, whether or not the part exists";
    EXPECT_EQ(machine.files.find("C:\\A\\B"), machine.files.find("C:\\A\\B\\file.txt\\.."));
    EXPECT_EQ((DWORD)(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY),
              GetFileAttributesA("C:\\A\\B\\.."));
    ASSERT_TRUE(SetFileAttributesA("C:\\A\\B\\..", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA("C:\\A"))
        << "the attributes of the folder above change, as on Windows";
    EXPECT_TRUE(DeleteFileA("C:\\A\\B\\..\\B\\file.txt"));
    EXPECT_FALSE(machine.files.exists("C:\\A\\B\\file.txt"));
}
