#pragma once

// The texts that callers match on: the status answer of an incomplete
// connection, the trailer line, and the messages on standard error. They are
// the caller's contract, listed in README: they stay exactly as they are,
// misspellings included.
namespace callerContract {

// Standard output: the answer of the status query when the connection is
// incomplete, and of an unrecognised argument; the trailer line's parts.
constexpr char ko[] = "ko";
constexpr char trailer[] = "contatti trovati: ";
constexpr char trailerSeparator[] = " / ";

// Standard error, with exit code 1: the run cannot go on.
constexpr char outlookNotInstalled[] = "MS Outlook not found or not properly installed";
constexpr char cannotLoadMapi32[] = "Cannot load mapi32.dll";
constexpr char cannotLoadInitializeOrUninitialize[] = "Cannot load MAPIInitialize or MAPIUninitialize from mapi32.dll";
constexpr char cannotInitializeMapi[] = "Cannot initialize mapi";
constexpr char cannotLoadOtherEntryPoints[] =
    "Cannot load MAPIAllocateBuffer or MAPIFreeBuffer or MAPILogonEx from mapi32.dll";
// A record option set in the environment to a value the exporter does not
// know; nothing is read.
constexpr char unknownTextOption[] = "CONTACT_EXPORTER_TEXT accepts ansi or utf-8";
constexpr char unknownFieldsOption[] =
    "CONTACT_EXPORTER_FIELDS accepts a comma-separated list of the names id and modified";

// Standard error, with exit code 0.
constexpr char noTemporaryDirectory[] = "cannot find temp path";
constexpr char noAttachments[] = "Unabel to get Attachments.";

}  // namespace callerContract
