// Verified loading of the SDK library for Windows: Authenticode and the signer's name, then LoadLibraryW.
#include "lighting/sdk_library.h"

#include "filesystem/path.h"
#include "util/unique_handle.h"
#include "util/utf.h"
#include "util/windows_support.h"

// Order matters: wintrust.h and softpub.h build on wincrypt.h.
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>

#include <string>
#include <vector>

namespace lumo::lighting {
namespace {

// The subject name the signing certificate must carry; set by the build (LUMO_SDK_MAKER).
constexpr const wchar_t kMakerName[] = L"" LUMO_SDK_MAKER_NAME;

struct FileTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(Handle handle) { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
    static void close(Handle handle) { ::CloseHandle(handle); }
};
struct CertStoreTraits {
    using Handle = HCERTSTORE;
    static Handle invalid() { return nullptr; }
    static void close(Handle handle) { ::CertCloseStore(handle, 0); }
};
struct CryptMsgTraits {
    using Handle = HCRYPTMSG;
    static Handle invalid() { return nullptr; }
    static void close(Handle handle) { ::CryptMsgClose(handle); }
};
struct CertificateTraits {
    using Handle = PCCERT_CONTEXT;
    static Handle invalid() { return nullptr; }
    static void close(Handle handle) { ::CertFreeCertificateContext(handle); }
};
using ScopedFile = lumo::util::UniqueHandle<FileTraits>;
using ScopedCertStore = lumo::util::UniqueHandle<CertStoreTraits>;
using ScopedCryptMsg = lumo::util::UniqueHandle<CryptMsgTraits>;
using ScopedCertificate = lumo::util::UniqueHandle<CertificateTraits>;

bool hasValidAuthenticode(HANDLE file, const std::wstring& path) {
    WINTRUST_FILE_INFO fileInfo{};
    fileInfo.cbStruct = sizeof(fileInfo);
    fileInfo.pcwszFilePath = path.c_str();
    fileInfo.hFile = file;

    WINTRUST_DATA trustData{};
    trustData.cbStruct = sizeof(trustData);
    trustData.dwUIChoice = WTD_UI_NONE;
    // Revocation lists would need the network, which may not be up when the program starts
    // with the session; a failed fetch must not leave the keyboard dark.
    trustData.fdwRevocationChecks = WTD_REVOKE_NONE;
    trustData.dwUnionChoice = WTD_CHOICE_FILE;
    trustData.pFile = &fileInfo;
    trustData.dwStateAction = WTD_STATEACTION_VERIFY;
    trustData.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;

    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG status = ::WinVerifyTrust(nullptr, &action, &trustData);

    // The verify call keeps state that only the close action releases.
    trustData.dwStateAction = WTD_STATEACTION_CLOSE;
    ::WinVerifyTrust(nullptr, &action, &trustData);
    return status == ERROR_SUCCESS;
}

// The simple display name of the certificate that signed the file's embedded signature.
std::wstring signerName(const std::wstring& path) {
    DWORD encoding = 0;
    DWORD contentType = 0;
    DWORD formatType = 0;
    ScopedCertStore store;
    ScopedCryptMsg message;
    if (!::CryptQueryObject(CERT_QUERY_OBJECT_FILE, path.c_str(), CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED,
                            CERT_QUERY_FORMAT_FLAG_BINARY, 0, &encoding, &contentType, &formatType,
                            store.receive(), message.receive(), nullptr)) {
        return {};
    }

    DWORD signerInfoSize = 0;
    if (!::CryptMsgGetParam(message.get(), CMSG_SIGNER_INFO_PARAM, 0, nullptr, &signerInfoSize) ||
        signerInfoSize == 0) {
        return {};
    }
    std::vector<BYTE> signerInfoBytes(signerInfoSize);
    if (!::CryptMsgGetParam(message.get(), CMSG_SIGNER_INFO_PARAM, 0, signerInfoBytes.data(),
                            &signerInfoSize)) {
        return {};
    }
    const auto* signerInfo = reinterpret_cast<const CMSG_SIGNER_INFO*>(signerInfoBytes.data());

    CERT_INFO wanted{};
    wanted.Issuer = signerInfo->Issuer;
    wanted.SerialNumber = signerInfo->SerialNumber;
    const ScopedCertificate certificate(::CertFindCertificateInStore(
        store.get(), X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0, CERT_FIND_SUBJECT_CERT, &wanted, nullptr));
    if (certificate.get() == nullptr) {
        return {};
    }

    // The size includes the terminator; 1 means an empty name.
    const DWORD nameSize =
        ::CertGetNameStringW(certificate.get(), CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
    if (nameSize <= 1) {
        return {};
    }
    std::wstring name(nameSize, L'\0');
    ::CertGetNameStringW(certificate.get(), CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), nameSize);
    name.resize(nameSize - 1);
    return name;
}

}  // namespace

void* loadVerifiedLibrary(const std::string& path) {
    const std::wstring widePath = lumo::util::fromUtf8(path);
    // LoadLibraryW searches the DLL search path for a relative name and could load a file other
    // than the one checked.
    if (widePath.empty() || !lumo::filesystem::path(widePath).is_absolute() ||
        widePath.find(L'\0') != std::wstring::npos) {
        return nullptr;
    }

    // Held open without write or delete sharing until the library is loaded, so the file
    // cannot be changed or replaced between the check and LoadLibraryW.
    const ScopedFile file(::CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return nullptr;
    }
    if (!hasValidAuthenticode(file.get(), widePath) || signerName(widePath) != kMakerName) {
        return nullptr;
    }
    return ::LoadLibraryW(widePath.c_str());
}

void* findExport(void* library, const char* name) {
    if (library == nullptr || name == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace lumo::lighting
