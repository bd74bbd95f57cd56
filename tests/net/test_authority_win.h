#pragma once
// The test authority of run_with_tls_front.sh in the machine's root store while a test or
// benchmark runs: put in at the start, taken out at the end.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <vector>

// Adds the DER certificate at `path`; null when it cannot.
inline PCCERT_CONTEXT TrustTestAuthority(const char* path) {
    std::vector<unsigned char> der;
    if (FILE* f = std::fopen(path, "rb")) {
        unsigned char chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) der.insert(der.end(), chunk, chunk + got);
        std::fclose(f);
    }
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root");
    PCCERT_CONTEXT added = nullptr;
    if (root && !der.empty())
        CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
                                         CERT_STORE_ADD_REPLACE_EXISTING, &added);
    if (root) CertCloseStore(root, 0);
    return added;
}

inline bool ForgetTestAuthority(PCCERT_CONTEXT added) { return added && CertDeleteCertificateFromStore(added); }
