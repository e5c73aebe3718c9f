// How the exporter is run.
using System;
using System.Collections.Generic;

namespace ContactExporter
{
    /// <summary>Which build of the exporter runs. It must match Outlook's bitness, not Windows'.</summary>
    internal enum Bitness
    {
        /// <summary>
        /// The machine's bitness first; when that build answers as a build of the wrong bitness
        /// does, the other one, once. The build that worked is remembered for the process.
        /// </summary>
        Auto,
        X64,
        X86,
    }

    /// <summary>The encoding the exporter writes the records' text in (CONTACT_EXPORTER_TEXT).</summary>
    internal enum RecordText
    {
        /// <summary>UTF-8: every character arrives as it is in Outlook.</summary>
        Utf8,

        /// <summary>
        /// The machine's ANSI code page, the exporter's own default: a character the code page
        /// lacks arrives as Windows' substitute for it or as "?".
        /// </summary>
        Ansi,
    }

    /// <summary>Members added at the end of every record (CONTACT_EXPORTER_FIELDS).</summary>
    [Flags]
    internal enum RecordFields
    {
        None = 0,

        /// <summary>"id": the contact's EntryID, which stays the same when the contact changes.</summary>
        Id = 1,

        /// <summary>"modified": the contact's last change, in UTC.</summary>
        Modified = 2,
    }

    internal sealed class ContactExporterOptions
    {
        public ContactExporterOptions()
        {
            TimeLimit = TimeSpan.FromMinutes(10);
            Bitness = Bitness.Auto;
            Text = RecordText.Utf8;
            CommandPrefix = new string[0];
            ExecutableFolder = AppDomain.CurrentDomain.BaseDirectory;
        }

        /// <summary>
        /// How long the exporter may take, to its exit and the end of its output (Outlook can wait on
        /// a dialog). Reading what it wrote in time may take longer. Default ten minutes.
        /// </summary>
        public TimeSpan TimeLimit { get; set; }

        public Bitness Bitness { get; set; }

        /// <summary>
        /// Sets CONTACT_EXPORTER_DIAGNOSTICS=1: the exporter explains on standard error why a run or
        /// a walk ended early.
        /// </summary>
        public bool Diagnostics { get; set; }

        /// <summary>
        /// The records' text: <see cref="RecordText.Utf8"/> (the default), or the machine's ANSI
        /// code page.
        /// </summary>
        public RecordText Text { get; set; }

        /// <summary>The members to add to every record; none by default.</summary>
        public RecordFields Fields { get; set; }

        /// <summary>
        /// With <see cref="RecordText.Ansi"/>, the records' Windows code page; 0 (the default): the
        /// machine's ANSI code page. With UTF-8 it decodes nothing, but must still be one this
        /// framework has.
        /// </summary>
        public int CodePage { get; set; }

        /// <summary>
        /// A program and its arguments that runs the executable: the executable's path and
        /// arguments follow them (a launcher, or Wine).
        /// </summary>
        public IList<string> CommandPrefix { get; set; }

        /// <summary>
        /// The folder holding x64\contact-exporter.exe and x86\contact-exporter.exe; by default the
        /// application's own, where the package's build step copies them.
        /// </summary>
        public string ExecutableFolder { get; set; }

        /// <summary>
        /// One executable to run whatever the bitness, instead of those of
        /// <see cref="ExecutableFolder"/>; null by default.
        /// </summary>
        public string ExecutablePath { get; set; }
    }
}
