// Runs contact-exporter.exe and reads what it writes: the export, whole or as
// a stream, and the status query.
using System;
using System.Collections.Concurrent;
using System.Collections.Generic;
using System.IO;
using System.Linq;
using System.Text;
using System.Threading;
using System.Threading.Tasks;

namespace ContactExporter
{
    /// <summary>
    /// Runs the exporter beside the application (x64\contact-exporter.exe and
    /// x86\contact-exporter.exe) and reads its output as its caller contract says. Every
    /// failure is a <see cref="ContactExporterException"/>.
    /// </summary>
    internal sealed class ContactExporterClient
    {
        private const string Executable = "contact-exporter.exe";

        // Process-wide: the build that worked, per folder and command prefix.
        private static readonly ConcurrentDictionary<string, Bitness> ChosenBitness =
            new ConcurrentDictionary<string, Bitness>();

        private readonly ContactExporterOptions options;

        public ContactExporterClient()
            : this(new ContactExporterOptions())
        {
        }

        public ContactExporterClient(ContactExporterOptions options)
        {
            if (options == null) throw new ArgumentNullException("options");
            if (options.TimeLimit < TimeSpan.Zero) throw Usage("the time limit must not be negative");
            string unknown = ExporterEnvironment.Unknown(options);
            if (unknown != null) throw Usage(unknown);
            this.options = options;
        }

        /// <summary>Runs an export and reads it whole.</summary>
        public ContactExport ReadContacts()
        {
            ContactStream stream = StreamContacts();
            List<Contact> contacts = stream.ToList();
            return new ContactExport(contacts, stream.End);
        }

        public Task<ContactExport> ReadContactsAsync()
        {
            return Background.Run(ReadContacts);
        }

        /// <summary>
        /// The records as they arrive, for large folders: enumerating runs one export, and ends
        /// with a <see cref="ContactExporterException"/> where the export is not whole. Leaving the
        /// enumeration early ends the exporter.
        /// </summary>
        public ContactStream StreamContacts()
        {
            return new ContactStream(Export);
        }

        /// <summary>The status query: Outlook's version text.</summary>
        public string OutlookVersion()
        {
            List<Bitness> bitnesses = BitnessesToTry();
            foreach (Bitness bitness in bitnesses)
            {
                ExporterOutcome outcome;
                byte[] answer;
                using (ExporterProcess process = Start(bitness, "-h"))
                {
                    answer = ExporterProcess.ReadAll(process.Output);
                    outcome = process.WaitForOutcome();
                }
                if (TryOtherBitness(outcome, bitnesses, bitness, 0)) continue;
                Check(outcome, bitness);
                // The status answer is UTF-8, with no line end.
                string version = Encoding.UTF8.GetString(answer);
                if (version == "ko")
                {
                    throw Tagged(new ContactExporterException(FailureKind.Unavailable, "Outlook did not answer", outcome),
                                 bitness);
                }
                Remember(bitness);
                return version;
            }
            throw new InvalidOperationException("no bitness to try");
        }

        public Task<string> OutlookVersionAsync()
        {
            return Background.Run(OutlookVersion);
        }

        private IEnumerable<Contact> Export(Action<ExportEnd> ended)
        {
            Encoding encoding = RecordEncoding();
            List<Bitness> bitnesses = BitnessesToTry();
            foreach (Bitness bitness in bitnesses)
            {
                using (ExporterProcess process = Start(bitness))
                {
                    var reader = new ExportReader(process.Output, encoding);
                    foreach (Contact contact in reader.Records()) yield return contact;
                    ExporterOutcome outcome = process.WaitForOutcome();
                    if (TryOtherBitness(outcome, bitnesses, bitness, reader.RecordsRead)) continue;
                    Check(outcome, bitness);
                    if (reader.Problem != null)
                    {
                        var incomplete = new ContactExporterException(FailureKind.IncompleteExport, reader.Problem, outcome);
                        incomplete.RecordsRead = reader.RecordsRead;
                        throw Tagged(incomplete, bitness);
                    }
                    Remember(bitness);
                    ended(new ExportEnd(reader.Written, reader.Items, outcome.StandardError, bitness));
                    yield break;
                }
            }
        }

        /// <summary>
        /// UTF-8 that fails on what is not UTF-8 (the exporter writes nothing else there), or the
        /// code page. A code page named is checked whatever the text; the machine's is looked up
        /// only for ANSI records.
        /// </summary>
        private Encoding RecordEncoding()
        {
            Encoding named = options.CodePage != 0 ? CodePageEncoding(options.CodePage) : null;
            if (options.Text != RecordText.Ansi) return new UTF8Encoding(false, true);
            return named ?? CodePageEncoding(CodePages.MachineAnsi());
        }

        private static Encoding CodePageEncoding(int codePage)
        {
            Encoding encoding = CodePages.ForRecords(codePage);
            if (encoding == null)
            {
                throw Usage("code page " + codePage + " is not available here (on .NET Core 3.1 and earlier, " +
                            "reference System.Text.Encoding.CodePages)");
            }
            return encoding;
        }

        private ExporterProcess Start(Bitness bitness, params string[] arguments)
        {
            var command = new List<string>(options.CommandPrefix ?? new string[0]);
            command.Add(ExecutablePath(bitness));
            command.AddRange(arguments);
            return ExporterProcess.Start(command, ExporterEnvironment.For(options), options.TimeLimit);
        }

        /// <summary>Throws for a run that did not end in time or ended with a failing exit code.</summary>
        private static void Check(ExporterOutcome outcome, Bitness bitness)
        {
            if (outcome.TimedOut)
            {
                throw Tagged(new ContactExporterException(FailureKind.TimeLimit, TimeLimitText(outcome), outcome), bitness);
            }
            if (outcome.ExitCode != 0) throw Tagged(ExporterMessages.Failure(outcome), bitness);
        }

        private static string TimeLimitText(ExporterOutcome outcome)
        {
            if (!outcome.Stopped) return "the exporter exited, but its output did not end within the time limit";
            if (outcome.ExitCode == null) return "the exporter did not finish within the time limit, and could not be ended";
            return "the exporter did not finish within the time limit";
        }

        /// <summary>
        /// Whether a run that read nothing failed as an exporter of the other bitness fails, and
        /// the list being tried has another bitness after this one. (The list has one bitness
        /// unless the choice is automatic.)
        /// </summary>
        private static bool TryOtherBitness(ExporterOutcome outcome, List<Bitness> bitnesses, Bitness bitness,
                                            int recordsRead)
        {
            return recordsRead == 0 && bitnesses[bitnesses.Count - 1] != bitness &&
                   ExporterMessages.MeanOtherBitness(outcome);
        }

        private List<Bitness> BitnessesToTry()
        {
            if (options.ExecutablePath != null || options.Bitness != Bitness.Auto)
            {
                return new List<Bitness> { options.Bitness == Bitness.X86 ? Bitness.X86 : Bitness.X64 };
            }
            Bitness remembered;
            if (ChosenBitness.TryGetValue(MemoryKey(), out remembered)) return new List<Bitness> { remembered };
            // 32-bit Windows runs no 64-bit build.
            if (!Environment.Is64BitOperatingSystem) return new List<Bitness> { Bitness.X86 };
            return new List<Bitness> { Bitness.X64, Bitness.X86 };
        }

        private void Remember(Bitness bitness)
        {
            if (options.Bitness == Bitness.Auto && options.ExecutablePath == null) ChosenBitness[MemoryKey()] = bitness;
        }

        private string MemoryKey()
        {
            return options.ExecutableFolder + "\n" + string.Join("\n", options.CommandPrefix ?? new string[0]);
        }

        private string ExecutablePath(Bitness bitness)
        {
            if (options.ExecutablePath != null) return options.ExecutablePath;
            string folder = bitness == Bitness.X86 ? "x86" : "x64";
            string path = Path.Combine(Path.Combine(options.ExecutableFolder ?? "", folder), Executable);
            if (!File.Exists(path)) throw Usage("the " + folder + " executable is missing: " + path);
            return path;
        }

        private static ContactExporterException Tagged(ContactExporterException failure, Bitness bitness)
        {
            failure.Bitness = bitness;
            return failure;
        }

        private static ContactExporterException Usage(string message)
        {
            return new ContactExporterException(FailureKind.Usage, message);
        }
    }
}
