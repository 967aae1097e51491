// Verified loading of the SDK library for Windows: Authenticode, the signer's chain and name, then
// LoadLibraryExW.
#include "lighting/sdk_library.h"

#include "filesystem/path.h"
#include "util/windows_handle.h"
#include "text/utf.h"
#include "util/windows_support.h"

// Order matters: wintrust.h and softpub.h build on wincrypt.h.
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>

#include <cstring>
#include <string>
#include <vector>

namespace lumo::lighting {
namespace {

// The subject name the signing certificate must carry; set by the build (LUMO_SDK_MAKER).
constexpr const wchar_t kMakerName[] = L"" LUMO_SDK_MAKER_NAME;

using ScopedFile = lumo::util::WindowsHandle;

// True when the certificate lists the code-signing purpose. Windows takes a certificate
// without the extension as good for every purpose; a maker's code-signing certificate always
// names it, so its absence is a refusal here.
bool allowsCodeSigning(PCCERT_CONTEXT certificate) {
    DWORD size = 0;
    if (!::CertGetEnhancedKeyUsage(certificate, CERT_FIND_EXT_ONLY_ENHKEY_USAGE_FLAG, nullptr, &size) ||
        size < sizeof(CERT_ENHKEY_USAGE)) {
        return false;
    }
    std::vector<BYTE> bytes(size);
    auto* usage = reinterpret_cast<CERT_ENHKEY_USAGE*>(bytes.data());
    if (!::CertGetEnhancedKeyUsage(certificate, CERT_FIND_EXT_ONLY_ENHKEY_USAGE_FLAG, usage, &size)) {
        return false;
    }
    for (DWORD i = 0; i < usage->cUsageIdentifier; ++i) {
        if (std::strcmp(usage->rgpszUsageIdentifier[i], szOID_PKIX_KP_CODE_SIGNING) == 0) return true;
    }
    return false;
}

// The certificate's simple display name (its common name); empty when it has none.
std::wstring simpleName(PCCERT_CONTEXT certificate) {
    // The size includes the terminator; 1 means an empty name.
    const DWORD size =
        ::CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
    if (size <= 1) return {};
    std::wstring name(size, L'\0');
    ::CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), size);
    name.resize(size - 1);
    return name;
}

// Checks the chain WinVerifyTrust built for the file's signer. WinVerifyTrust's result alone
// is not enough everywhere: Wine 8 reports success for an untrusted root with SHA-256
// certificates, for expired and wrong-purpose leaves and for chains that never reach a root.
// On Windows these checks agree with WinVerifyTrust. The name is read from this verified
// chain only, never from certificates the file merely carries.
bool signerChainIsTheMakers(HANDLE stateData) {
    CRYPT_PROVIDER_DATA* provider = ::WTHelperProvDataFromStateData(stateData);
    if (provider == nullptr) return false;
    CRYPT_PROVIDER_SGNR* signer = ::WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
    if (signer == nullptr || signer->pChainContext == nullptr) return false;
    PCCERT_CHAIN_CONTEXT chain = signer->pChainContext;
    if (chain->TrustStatus.dwErrorStatus != CERT_TRUST_NO_ERROR || chain->cChain == 0 ||
        chain->rgpChain[0]->cElement == 0) {
        return false;
    }

    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof(policy);
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof(status);
    if (!::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_AUTHENTICODE, chain, &policy, &status) ||
        status.dwError != ERROR_SUCCESS) {
        return false;
    }

    PCCERT_CONTEXT leaf = chain->rgpChain[0]->rgpElement[0]->pCertContext;
    return allowsCodeSigning(leaf) && simpleName(leaf) == kMakerName;
}

bool hasTheMakersSignature(HANDLE file, const std::wstring& path) {
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
    // The chain lives in the verify call's state, which only the close action releases.
    const bool trusted = status == ERROR_SUCCESS && signerChainIsTheMakers(trustData.hWVTStateData);
    trustData.dwStateAction = WTD_STATEACTION_CLOSE;
    ::WinVerifyTrust(nullptr, &action, &trustData);
    return trusted;
}

}  // namespace

void* loadVerifiedLibrary(const std::string& path) {
    const std::wstring widePath = lumo::util::fromUtf8(path);
    // A relative name would be looked up along the DLL search path and could load a file
    // other than the one checked.
    if (widePath.empty() || !lumo::filesystem::path(widePath).is_absolute() ||
        widePath.find(L'\0') != std::wstring::npos) {
        return nullptr;
    }

    // Held open without write or delete sharing until the library is loaded, so the file
    // cannot be changed or replaced between the check and the load.
    const ScopedFile file(::CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return nullptr;
    }
    if (!hasTheMakersSignature(file.get(), widePath)) {
        return nullptr;
    }
    // The library's own imports come from its folder and System32 only, never from the
    // working folder or PATH, where anyone could plant a DLL of the same name.
    return ::LoadLibraryExW(widePath.c_str(), nullptr,
                            LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void* findExport(void* library, const char* name) {
    if (library == nullptr || name == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace lumo::lighting
