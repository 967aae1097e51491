// Makes this Windows system (the tests' Wine prefix) trust the build's test root certificate:
// adds root.cer, found beside this program, to the local machine's "Root" store.
#include "util/windows_support.h"

#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "filesystem/operations.h"

int main() {
    lumo::filesystem::path certificateFile = lumo::filesystem::executable_path();
    certificateFile.remove_filename();
    certificateFile /= lumo::filesystem::path("root.cer");
    std::ifstream in(certificateFile.native_text().c_str(), std::ios::binary);
    const std::vector<char> der((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (der.empty()) {
        std::fprintf(stderr, "trust-test-root: cannot read %s\n", certificateFile.string().c_str());
        return 1;
    }

    HCERTSTORE store =
        ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (store == nullptr) {
        std::fprintf(stderr, "trust-test-root: CertOpenStore failed: %lu\n", ::GetLastError());
        return 1;
    }
    // Adding it again on a later run of the fixture replaces the same certificate.
    const BOOL added = ::CertAddEncodedCertificateToStore(
        store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()), static_cast<DWORD>(der.size()),
        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    const DWORD error = ::GetLastError();
    ::CertCloseStore(store, 0);
    if (!added) {
        std::fprintf(stderr, "trust-test-root: CertAddEncodedCertificateToStore failed: %lu\n", error);
        return 1;
    }
    return 0;
}
