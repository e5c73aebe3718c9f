// One exception for every way a run can fail; its kind says which, so that a
// caller can branch without matching message texts.
using System;
using System.Linq;
using System.Text.RegularExpressions;

namespace ContactExporter
{
    internal enum FailureKind
    {
        /// <summary>Outlook is not installed for this bitness.</summary>
        NotInstalled,
        /// <summary>Outlook's MAPI runtime could not be loaded or started.</summary>
        Mapi,
        /// <summary>Outlook did not answer the status query ("ko").</summary>
        Unavailable,
        /// <summary>The export stopped early, or its output is not a whole export.</summary>
        IncompleteExport,
        /// <summary>The run did not end within the time limit.</summary>
        TimeLimit,
        /// <summary>The options are wrong, or there is no executable to run.</summary>
        Usage,
        /// <summary>The executable could not be started, or ended in another way.</summary>
        Failed,
    }

    internal sealed class ContactExporterException : Exception
    {
        public ContactExporterException(FailureKind kind, string message, ExporterOutcome outcome = null,
                                        Exception cause = null)
            : base(message, cause)
        {
            Kind = kind;
            StandardError = outcome == null ? "" : outcome.StandardError;
            ExitCode = outcome == null ? null : outcome.ExitCode;
            ExporterStopped = outcome != null && outcome.Stopped;
        }

        public FailureKind Kind { get; private set; }
        /// <summary>The exporter's standard error, decoded as UTF-8.</summary>
        public string StandardError { get; private set; }
        /// <summary>The exit code; null where the exporter did not run, or could not be ended.</summary>
        public int? ExitCode { get; private set; }
        /// <summary>
        /// For <see cref="FailureKind.TimeLimit"/>: whether the exporter itself was still running and
        /// was told to stop (otherwise it had exited, but a process it started held its output open).
        /// </summary>
        public bool ExporterStopped { get; private set; }
        /// <summary>The build that gave this failure, where one ran.</summary>
        public Bitness? Bitness { get; internal set; }
        /// <summary>For <see cref="FailureKind.IncompleteExport"/>: the records read before the output stopped being an export.</summary>
        public int? RecordsRead { get; internal set; }
    }

    /// <summary>The exporter's messages for exit code 1, as its caller contract states them.</summary>
    internal static class ExporterMessages
    {
        public const string NotInstalled = "MS Outlook not found or not properly installed";

        private static readonly string[] Mapi =
        {
            "Cannot load mapi32.dll",
            "Cannot load MAPIInitialize or MAPIUninitialize from mapi32.dll",
            "Cannot initialize mapi",
            "Cannot load MAPIAllocateBuffer or MAPIFreeBuffer or MAPILogonEx from mapi32.dll",
        };

        // What a build of the wrong bitness says: the MAPI runtime is loaded
        // into the exporter's process, and each bitness reads its own view of
        // the registry.
        private static readonly string[] OtherBitness = { NotInstalled, "Cannot load mapi32.dll", "Cannot initialize mapi" };

        public static bool MeanOtherBitness(ExporterOutcome outcome)
        {
            return outcome.ExitCode == 1 && Lines(outcome.StandardError).Any(line => OtherBitness.Contains(line));
        }

        /// <summary>The failure of a run that ended with a non-zero exit code.</summary>
        public static ContactExporterException Failure(ExporterOutcome outcome)
        {
            string[] lines = Lines(outcome.StandardError);
            if (outcome.ExitCode == 1 && lines.Contains(NotInstalled))
            {
                return new ContactExporterException(FailureKind.NotInstalled, NotInstalled, outcome);
            }
            string mapi = outcome.ExitCode == 1 ? lines.FirstOrDefault(line => Mapi.Contains(line)) : null;
            if (mapi != null) return new ContactExporterException(FailureKind.Mapi, mapi, outcome);
            return new ContactExporterException(FailureKind.Failed,
                                                "the exporter ended with exit code " + outcome.ExitCode, outcome);
        }

        // The messages come without a line end, and diagnostics (when asked
        // for) on lines of their own: match whole lines.
        private static string[] Lines(string text)
        {
            return Regex.Split(text, "\r?\n");
        }
    }
}
